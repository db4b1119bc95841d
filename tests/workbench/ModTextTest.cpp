#include "workbench/ModText.h"

#include "FormFixture.h"
#include "modbuild/ModPackerFiles.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

class ModTextTest : public FormFixture {
protected:
    TModwrightForm &f() { return form ? *form : start(); }
    std::unique_ptr<TModText> open()
    {
        auto dialog = std::make_unique<TModText>(f().Set(), f().Config(), form.get());
        QObject::connect(dialog.get(), &QDialog::finished, [this](int) { ++closings; });
        return dialog;
    }
    static QStringList items(QComboBox *box)
    {
        QStringList list;
        for (int i = 0; i < box->count(); ++i)
            list << box->itemText(i);
        return list;
    }
    QString stored(const char *list, int i)
    {
        return QString::fromStdString(
            config().ReadString(std::string(TModText::Section) + "\\" + list, std::to_string(i), ""));
    }
    void fill(TModText &d, const TModTexts &t)
    {
        d.CBModName->setEditText(t.ModName);
        d.CBWWW->setEditText(t.WWW);
        d.CBFTP->setEditText(t.FTP);
        d.CBDemoSong->setEditText(t.DemoSong);
        d.MComments->setPlainText(QString(t.Comments).replace("\r\n", "\n"));
    }
    int closings = 0;
};

// What a user does: type into the focused field, click with the mouse.
void TypeInto(QWidget *field, const QString &text)
{
    QWidget *target = field;
    if (auto *box = qobject_cast<QComboBox *>(field))
        target = box->lineEdit();
    target->setFocus();
    // Select what is there, so that typing replaces it.
    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QApplication::sendEvent(target, &selectAll);
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(target, &erase);
    // One event per character, a surrogate pair included.
    for (const char32_t c : text.toUcs4()) {
        const bool newline = c == '\n';
        QKeyEvent press(QEvent::KeyPress, newline ? Qt::Key_Return : Qt::Key_unknown, Qt::NoModifier,
                        newline ? QString("\r") : QString::fromUcs4(&c, 1));
        QApplication::sendEvent(target, &press);
    }
}

void Click(QWidget *button)
{
    const QPointF at(button->width() / 2.0, button->height() / 2.0);
    const QPointF global = button->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(button, &press);
    QApplication::sendEvent(button, &release);
}

TEST_F(ModTextTest, CaptionsAndFields)
{
    auto d = open();
    EXPECT_EQ(d->windowTitle(), "Mod Description");
    EXPECT_EQ(d->LModName->text(), "&Mod name");
    EXPECT_TRUE(d->LWWW->text().startsWith("&WWW address ("));
    EXPECT_TRUE(d->LFTP->text().startsWith("&FTP address ("));
    EXPECT_EQ(d->LComments->text(), "&Comments");
    EXPECT_EQ(d->LDemoSong->text(), "&Demo song");
    EXPECT_EQ(d->BLoadComments->text(), "&Load from file");
    EXPECT_EQ(d->BBrowse->text(), "Browse...");
    EXPECT_EQ(d->BOK->text(), "OK");
    EXPECT_EQ(d->BCancel->text(), "Cancel");
    for (QComboBox *box : {d->CBModName, d->CBWWW, d->CBFTP, d->CBDemoSong})
        EXPECT_TRUE(box->isEditable());
}

TEST_F(ModTextTest, TheFiveTextsMakeTheRoundTrip)
{
    const QString song = dir.createFile("songs/demo.rbs", "song");
    f().Set().texts = {"Old", "http://old", "ftp://old", "", "first\r\nsecond"};
    {
        auto d = open();
        EXPECT_EQ(d->CBModName->currentText(), "Old");
        EXPECT_EQ(d->CBWWW->currentText(), "http://old");
        EXPECT_EQ(d->CBFTP->currentText(), "ftp://old");
        EXPECT_EQ(d->CommentsText(), "first\r\nsecond");
        fill(*d, {"Acid Mod", "http://acid.example", "ftp://acid.example", song, "line 1\r\n\r\nline 3"});
        d->BOK->click();
        EXPECT_EQ(d->result(), QDialog::Accepted);
    }
    EXPECT_EQ(closings, 1);
    const TModTexts expected{"Acid Mod", "http://acid.example", "ftp://acid.example", song,
                             "line 1\r\n\r\nline 3"};
    EXPECT_EQ(f().Set().texts, expected);
    EXPECT_TRUE(f().Set().modified);
    EXPECT_EQ(stored("ModNames", 0), "Acid Mod");
    EXPECT_EQ(stored("DemoSongs", 0), song);

    // The next opening shows them again, and the remembered values below.
    auto again = open();
    EXPECT_EQ(again->CBModName->currentText(), "Acid Mod");
    EXPECT_EQ(again->CBDemoSong->currentText(), song);
    EXPECT_EQ(again->CommentsText(), "line 1\r\n\r\nline 3");
    EXPECT_EQ(items(again->CBWWW), QStringList{"http://acid.example"});
}

TEST_F(ModTextTest, CancelChangesNothing)
{
    f().Set().texts = {"Keep", "w", "f", "", "c"};
    f().Set().modified = false;
    auto d = open();
    fill(*d, {"Other", "w2", "f2", "", "c2"});
    d->BCancel->click();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(f().Set().texts, (TModTexts{"Keep", "w", "f", "", "c"}));
    EXPECT_FALSE(f().Set().modified);
    EXPECT_EQ(stored("ModNames", 0), ""); // nothing was moved into the lists
}

TEST_F(ModTextTest, RefusalsKeepTheDialogOpen)
{
    auto d = open();
    fill(*d, {"", "", "", "", ""});
    d->BOKClick();
    fill(*d, {"Mod", "", "", dir.file("gone.rbs"), ""});
    d->BOKClick();
    // A name that would lead the mod folder (and its removal) out of the working folder.
    for (const QString bad : {"..", "../escape", "a/b"}) {
        fill(*d, {bad, "", "", "", ""});
        d->BOKClick();
    }
    ASSERT_EQ(boxes.shown.size(), 5);
    EXPECT_EQ(boxes.shown[0], "info: Please specify a mod name.");
    EXPECT_EQ(boxes.shown[1], "info: Please specify an existing demo song (or no song).");
    EXPECT_EQ(boxes.shown[2], "info: " + ModNameProblem(".."));
    EXPECT_EQ(boxes.shown[3], "info: " + ModNameProblem("../escape"));
    EXPECT_FALSE(ModNameProblem("a/b").isEmpty());
    EXPECT_EQ(closings, 0);
    EXPECT_TRUE(f().Set().texts.ModName.isEmpty());

    // An empty demo song is fine.
    fill(*d, {"Mod", "", "", "", ""});
    d->BOKClick();
    EXPECT_EQ(closings, 1);
    EXPECT_EQ(f().Set().texts.ModName, "Mod");
}

TEST_F(ModTextTest, HistoryListsMoveToTopAndKeepThirty)
{
    for (int i = 0; i < 31; ++i) {
        auto d = open();
        fill(*d, {"Mod", QString("http://w%1").arg(i), "", "", ""});
        d->BOKClick();
    }
    auto d = open();
    EXPECT_EQ(d->CBWWW->count(), 30);
    EXPECT_EQ(d->CBWWW->itemText(0), "http://w30");
    EXPECT_EQ(d->CBWWW->itemText(29), "http://w1"); // w0 pushed out
    EXPECT_EQ(items(d->CBModName), QStringList{"Mod"});

    // An older entry entered again moves up instead of appearing twice.
    fill(*d, {"Mod", "http://w5", "", "", ""});
    d->BOKClick();
    auto e = open();
    EXPECT_EQ(e->CBWWW->count(), 30);
    EXPECT_EQ(e->CBWWW->itemText(0), "http://w5");
    EXPECT_EQ(items(e->CBWWW).count("http://w5"), 1);
    EXPECT_EQ(stored("WWWs", 0), "http://w5");
    EXPECT_EQ(stored("WWWs", 30), "");
}

TEST_F(ModTextTest, LetterCaseAndModifiedFlag)
{
    const QString song = dir.createFile("Demo.rbs", "x");
    TAssignmentSet &set = f().Set();
    set.texts = {"Mod", "", "", song, ""};
    set.modified = false;
    {
        auto d = open();
        d->CBDemoSong->setEditText(QString(song).replace("Demo.rbs", "DEMO.RBS"));
        // Not an existing file on a case-sensitive disk: refused, nothing changes.
        d->BOKClick();
        EXPECT_EQ(closings, 0);
        d->CBDemoSong->setEditText(song);
        d->BOKClick();
    }
    EXPECT_FALSE(set.modified);
    {
        auto d = open();
        d->CBModName->setEditText("MOD");
        d->BOKClick();
    }
    EXPECT_TRUE(set.modified);
    EXPECT_EQ(set.texts.ModName, "MOD");
}

TEST_F(ModTextTest, AssignmentNameIsProposedForAnUnnamedMod)
{
    f().Set().texts = {};
    f().Set().name = "Acid Set";
    EXPECT_EQ(open()->CBModName->currentText(), "Acid Set");
    f().Set().name = TAssignmentSet::NoName;
    EXPECT_EQ(open()->CBModName->currentText(), "");
}

TEST_F(ModTextTest, LoadFromFileAndBrowse)
{
    const QString text = dir.createFile("texts/about.txt", "one\r\ntwo\nthree\r\n");
    const QString song = dir.createFile("songs/a.rbs", "s");
    {
        auto d = open();
        QStringList titles;
        QStringList answers{text, song};
        d->chooseFile = [&](const QString &title, const QString &, const QString &) {
            titles << title;
            return answers.takeFirst();
        };
        d->BLoadComments->click();
        d->BBrowse->click();
        EXPECT_EQ(titles, (QStringList{"Choose a description file", "Choose a demo song"}));
        EXPECT_EQ(d->CommentsText(), "one\r\ntwo\r\nthree");
        EXPECT_EQ(d->CBDemoSong->currentText(), song);
        d->BCancel->click();
    }
    EXPECT_EQ(config().ReadString(TModText::Section, "CommentDir", ""), dir.file("texts").toStdString());
    EXPECT_EQ(config().ReadString(TModText::Section, "DemoSongDir", ""), dir.file("songs").toStdString());

    // The next opening starts there; one without a choice keeps the folders.
    {
        auto d = open();
        QString folder;
        d->chooseFile = [&](const QString &, const QString &start, const QString &) {
            folder = start;
            return QString();
        };
        d->BLoadComments->click();
        EXPECT_EQ(folder, dir.file("texts"));
        d->BCancel->click();
    }
    EXPECT_EQ(config().ReadString(TModText::Section, "CommentDir", ""), dir.file("texts").toStdString());

    // A file that cannot be read is said, the comments stay.
    auto d = open();
    d->MComments->setPlainText("kept");
    d->chooseFile = [&](const QString &, const QString &, const QString &) { return dir.file("texts"); };
    d->BLoadComments->click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].startsWith("error: "));
    EXPECT_EQ(d->CommentsText(), "kept");
}

} // namespace

TEST_F(ModTextTest, NamesThePackerCannotReachAreRefusedAtOK)
{
    auto d = open();
    d->show();
    for (const QString bad : {"Two  blanks", "Say \"hi\"", "Ends with a blank ", "Ends with a dot."}) {
        TypeInto(d->CBModName, bad);
        ASSERT_EQ(d->CBModName->currentText(), bad);
        Click(d->BOK);
        ASSERT_FALSE(boxes.shown.isEmpty());
        EXPECT_EQ(boxes.shown.back(), "info: " + ModNameProblem(bad));
        EXPECT_TRUE(boxes.shown.back().contains("ModPacker could not find the mod's folder"));
    }
    EXPECT_EQ(boxes.shown.size(), 4);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(closings, 0);

    // Names that worked before still do: single blanks, accents, brackets.
    const QString good = QString::fromUtf8("\xc3\x89t\xc3\xa9 (mix) & 'co' \xe2\x82\xac"
                                           "1");
    TypeInto(d->CBModName, good);
    Click(d->BOK);
    EXPECT_EQ(closings, 1);
    EXPECT_EQ(boxes.shown.size(), 4);
    EXPECT_EQ(f().Set().texts.ModName, good);
}

TEST_F(ModTextTest, ACharacterTheWindowsCodePageCannotHoldIsNamedAtOK)
{
    auto d = open();
    d->show();
    TypeInto(d->CBModName, "Mod");
    TypeInto(d->MComments, QString::fromUtf8("fine \xe2\x82\xac\nZa\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87"));
    Click(d->BOK);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(
        boxes.shown[0],
        QString::fromUtf8("info: The comments hold the character \"\xc5\xbc\" (U+017C), which ModPacker's "
                          "text files cannot hold (they are written in the Windows character set, "
                          "windows-1252). Please replace it."));
    EXPECT_EQ(closings, 0);
    EXPECT_EQ(d->focusWidget(), d->MComments);

    TypeInto(d->MComments, "plain");
    TypeInto(d->CBWWW, QString::fromUtf8("http://\xf0\x9f\x8e\xb9.example"));
    Click(d->BOK);
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_TRUE(boxes.shown[1].startsWith(
        QString::fromUtf8("info: The WWW address holds the character \"\xf0\x9f\x8e\xb9\" (U+1F3B9)")));
    EXPECT_EQ(closings, 0);
    EXPECT_TRUE(f().Set().texts.ModName.isEmpty()); // nothing taken over yet

    TypeInto(d->CBWWW, QString::fromUtf8("http://caf\xc3\xa9.example"));
    Click(d->BOK);
    EXPECT_EQ(closings, 1);
    EXPECT_EQ(f().Set().texts.WWW, QString::fromUtf8("http://caf\xc3\xa9.example"));
    EXPECT_EQ(f().Set().texts.Comments, "plain");
}
