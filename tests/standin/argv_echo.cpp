// A stand-in for a program run by another: prints its arguments (argv[0] too) one per line
// and the variable MODWRIGHT_STANDIN_NOTE, copies standard input to standard output, says
// "to stderr" on standard error and exits with 7.
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    for (int i = 0; i < argc; ++i)
        std::printf("argv[%d]=%s\n", i, argv[i]);
    const char *note = std::getenv("MODWRIGHT_STANDIN_NOTE");
    std::printf("note=%s\n", note ? note : "(none)");
    for (int c; (c = std::getchar()) != EOF;)
        std::putchar(c);
    std::fputs("to stderr\n", stderr);
    return 7;
}
