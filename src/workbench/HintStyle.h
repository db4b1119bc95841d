#pragma once

#include <QProxyStyle>

// The application's hint timing: a hint appears after 2000 ms of rest over a
// button. Once one is up, the toolkit shows the next one at once when the
// mouse moves on to another button, which is the quick follow-up we want.
class THintStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;

    // Puts the style on the application (once).
    static void Install();
};
