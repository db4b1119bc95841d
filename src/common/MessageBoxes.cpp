#include "common/MessageBoxes.h"

#include <cstdio>

namespace {

TMessageBoxHandler *g_handler = nullptr;

void ToStderr(const char *kind, const QString &text)
{
    std::fprintf(stderr, "%s%s\n", kind, text.toLocal8Bit().constData());
}

} // namespace

TMessageBoxHandler *SetMessageBoxHandler(TMessageBoxHandler *handler)
{
    TMessageBoxHandler *previous = g_handler;
    g_handler = handler;
    return previous;
}

void ShowInformation(const QString &text)
{
    if (g_handler)
        g_handler->information(text);
    else
        ToStderr("", text);
}

void ShowError(const QString &text)
{
    if (g_handler)
        g_handler->error(text);
    else
        ToStderr("", text);
}

TMsgAnswer AskConfirmation(const QString &text, TConfirmButtons buttons)
{
    if (g_handler)
        return g_handler->confirm(text, buttons);
    // Nobody to ask: never overwrite or delete on the user's behalf.
    ToStderr("", text);
    return buttons == cbYesNo ? maNo : maCancel;
}

TScriptedMessageBoxes::TScriptedMessageBoxes() : previous_(SetMessageBoxHandler(this)) {}

TScriptedMessageBoxes::~TScriptedMessageBoxes()
{
    SetMessageBoxHandler(previous_);
}

void TScriptedMessageBoxes::information(const QString &text)
{
    shown << "info: " + text;
}

void TScriptedMessageBoxes::error(const QString &text)
{
    shown << "error: " + text;
}

TMsgAnswer TScriptedMessageBoxes::confirm(const QString &text, TConfirmButtons)
{
    shown << "confirm: " + text;
    return answers.isEmpty() ? defaultAnswer : answers.takeFirst();
}
