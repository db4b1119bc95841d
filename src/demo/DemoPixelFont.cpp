#include "demo/DemoPixelFont.h"

#include <QPainter>

namespace {

// Five rows of three pixels each, top row first; '#' is lit.
const char *Glyph(QChar c)
{
    switch (c.toUpper().unicode()) {
    case '0':
        return "####.##.##.####";
    case '1':
        return ".#.##..#..#.###";
    case '2':
        return "###..#####..###";
    case '3':
        return "###..####..####";
    case '4':
        return "#.##.####..#..#";
    case '5':
        return "####..###..####";
    case '6':
        return "####..####.####";
    case '7':
        return "###..#..#.#..#.";
    case '8':
        return "####.#####.####";
    case '9':
        return "####.####..####";
    case 'A':
        return ".#.#.#####.##.#";
    case 'B':
        return "##.#.###.#.###.";
    case 'C':
        return ".###..#..#...##";
    case 'D':
        return "##.#.##.##.###.";
    case 'E':
        return "####..##.#..###";
    case 'F':
        return "####..##.#..#..";
    case 'G':
        return ".###..#.##.#.##";
    case 'H':
        return "#.##.#####.##.#";
    case 'I':
        return "###.#..#..#.###";
    case 'J':
        return "..#..#..##.#.#.";
    case 'K':
        return "#.##.###.#.##.#";
    case 'L':
        return "#..#..#..#..###";
    case 'M':
        return "#.########.##.#";
    case 'N':
        return "##.#.##.##.##.#";
    case 'O':
        return ".#.#.##.##.#.#.";
    case 'P':
        return "##.#.###.#..#..";
    case 'Q':
        return ".#.#.##.###..##";
    case 'R':
        return "##.#.###.#.##.#";
    case 'S':
        return ".###...#...###.";
    case 'T':
        return "###.#..#..#..#.";
    case 'U':
        return "#.##.##.##.####";
    case 'V':
        return "#.##.##.##.#.#.";
    case 'W':
        return "#.##.########.#";
    case 'X':
        return "#.##.#.#.#.##.#";
    case 'Y':
        return "#.##.#.#..#..#.";
    case 'Z':
        return "###..#.#.#..###";
    case '-':
        return "......###......";
    case '.':
        return ".............#.";
    case '/':
        return "..#..#.#.#..#..";
    case '!':
        return ".#..#..#.....#.";
    case ':':
        return "....#.....#....";
    case '+':
        return "....#.###.#....";
    case '\'':
        return ".#..#..........";
    case '(':
        return ".#.#..#..#...#.";
    case ')':
        return ".#...#..#..#.#.";
    case '&':
        return ".#.#.#.#.#.#.##";
    default:
        return "...............";
    }
}

} // namespace

int PixelTextWidth(const QString &text, int scale)
{
    return text.isEmpty() ? 0 : (int(text.size()) * 4 - 1) * scale;
}

void DrawPixelText(QPainter &painter, int x, int y, const QString &text, const QColor &colour, int scale)
{
    for (QChar c : text) {
        const char *g = Glyph(c);
        for (int i = 0; i < 15 && g[i]; ++i)
            if (g[i] == '#')
                painter.fillRect(x + (i % 3) * scale, y + (i / 3) * scale, scale, scale, colour);
        x += 4 * scale;
    }
}

void DrawPixelTextCentred(QPainter &painter, int cx, int y, const QString &text, const QColor &colour,
                          int scale)
{
    DrawPixelText(painter, cx - PixelTextWidth(text, scale) / 2, y, text, colour, scale);
}
