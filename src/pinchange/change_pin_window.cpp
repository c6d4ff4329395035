#include "change_pin_window.h"

#include "key_filter.h"
#include "look.h"
#include "pin.h"
#include "runtime.h"
#include "twips.h"

#include <QCloseEvent>
#include <QLabel>

namespace {
NumericField* NewPinField(QWidget* window, const char* name, const QString& toolTip,
                          const QRect& geometry) {
    auto* field = new NumericField(window);
    field->setObjectName(QLatin1String(name));
    field->setGeometry(geometry);
    MakePinField(field);
    field->setToolTip(toolTip);
    return field;
}

QLabel* MakeLabel(QWidget* window, const char* name, const QString& caption,
                  const QRect& geometry) {
    auto* label = new QLabel(caption, window);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFont(DesignFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    PaintGrey(label);
    return label;
}
} // namespace

Form3::Form3(std::function<QString()> startupPin, QLineEdit* ledgerPinHolder, QWidget* ledgerWindow)
    : startupPin(std::move(startupPin)), ledgerPinHolder(ledgerPinHolder),
      ledgerWindow(ledgerWindow) {
    setAttribute(Qt::WA_DeleteOnClose);
    ApplyWindowLook(this, QStringLiteral("Change Pin"), 4410, 1785);

    const QString newPinTip = QStringLiteral(" Enter New Pin & Press Return ");
    txtKey1 = NewPinField(this, "txtKey1", QStringLiteral(" Enter Old Pin & Press Return "),
                          TwipsRect(1920, 240, 600, 360));
    txtKey2 = NewPinField(this, "txtKey2", newPinTip, TwipsRect(1920, 720, 600, 360));
    txtKey3 = NewPinField(this, "txtKey3", newPinTip, TwipsRect(1920, 1200, 600, 360));
    Label1 = MakeLabel(this, "Label1", QStringLiteral("Old Pin"), TwipsRect(720, 300, 1095, 255));
    Label2 = MakeLabel(this, "Label2", QStringLiteral("New Pin"), TwipsRect(720, 800, 1095, 255));
    Label3 =
        MakeLabel(this, "Label3", QStringLiteral("Confirm Pin"), TwipsRect(720, 1270, 1095, 255));
    Label1->setBuddy(txtKey1);
    Label2->setBuddy(txtKey2);
    Label3->setBuddy(txtKey3);
    txtKey1->setAccessibleName(QStringLiteral("Old PIN"));
    txtKey2->setAccessibleName(QStringLiteral("New PIN"));
    txtKey3->setAccessibleName(QStringLiteral("Confirm PIN"));

    setTabOrder(txtKey1, txtKey2);
    setTabOrder(txtKey2, txtKey3);

    txtKey1->SetEnterAction([this] { CheckOldPin(); });
    txtKey2->SetEnterAction([this] { AskConfirmPin(); });
    txtKey3->SetEnterAction([this] { CheckNewPin(); });
    txtKey1->setFocus();

    Form_Load();
}

void Form3::Form_Load() {
    Label2->hide();
    txtKey2->hide();
    Label3->hide();
    txtKey3->hide();
}

void Form3::CheckOldPin() {
    if (txtKey1->text() != startupPin()) {
        Refuse(QStringLiteral("Incorrect Pin"), {txtKey1}, txtKey1);
        return;
    }
    Label2->show();
    txtKey2->show();
    txtKey2->setFocus();
}

void Form3::AskConfirmPin() {
    Label3->show();
    txtKey3->show();
    txtKey3->setFocus();
}

void Form3::CheckNewPin() {
    if (txtKey2->text() != txtKey3->text()) {
        Refuse(QStringLiteral("New Pin Does Not Match"), {txtKey2, txtKey3}, txtKey2);
        return;
    }
    // The ledger is saved only under a four-digit PIN; any other would lose the run's
    // bookings at close without a word.
    if (!IsFourDigitPin(txtKey3->text())) {
        Refuse(PinPrompt::NotFourDigits, {txtKey2, txtKey3}, txtKey2);
        return;
    }
    ApplyNewPin();
}

void Form3::ApplyNewPin() {
    if (ledgerWindow) ledgerWindow->show();
    if (ledgerPinHolder) ledgerPinHolder->setText(txtKey3->text());
    close();
}

void Form3::Form_Unload() {
    if (ledgerWindow) ledgerWindow->show();
}

void Form3::Refuse(const QString& prompt, std::initializer_list<QLineEdit*> emptied,
                   QLineEdit* focus) {
    for (QLineEdit* field : emptied)
        field->clear();
    Rt().MsgBox(prompt, MsgStyle::Critical, MsgTitle::Error);
    focus->setFocus();
}

void Form3::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}
