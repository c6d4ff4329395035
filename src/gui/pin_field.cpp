#include "gui/pin_field.h"

#include "gui/look.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProxyStyle>

namespace {
// Qt masks with a dot by default; the design masks with "*". A proxy style does it without
// the cost of a style sheet at start-up.
class AsteriskMaskStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

QStyle* AsteriskMask() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new AsteriskMaskStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}
} // namespace

void MakePinField(QLineEdit* field) {
    field->setEchoMode(QLineEdit::Password);
    field->setStyle(AsteriskMask());
    field->setMaxLength(4);
    field->setAlignment(Qt::AlignCenter);
    field->setFont(DesignFont(QStringLiteral("Courier New"), 9.75, true));
    field->setAttribute(Qt::WA_InputMethodEnabled, false);
}
