#include "gui/form3.h"

#include "gui/look.h"
#include "gui/messages.h"
#include "gui/numeric_field.h"
#include "gui/pin_field.h"
#include "gui/twips.h"

#include <QCloseEvent>
#include <QLabel>

namespace {
NumericField* NewPinField(QWidget* window, const char* name, const QString& toolTip,
                          const QRect& geometry) {
    auto* field = Place(new NumericField(window), name, geometry);
    MakePinField(field);
    field->setToolTip(toolTip);
    return field;
}

QLabel* MakeLabel(QWidget* window, const char* name, const QString& caption,
                  const QRect& geometry) {
    auto* label = Place(new QLabel(caption, window), name, geometry);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFont(DesignFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    FitCaption(label);
    PaintGrey(label);
    return label;
}
} // namespace

Form3::Form3(std::function<bool(const QString&)> isOldPin, QWidget* parent)
    : QWidget(parent), isOldPin(std::move(isOldPin)),
      txtKey1(NewPinField(this, "txtKey1", Texts::OldPinTip, TwipsRect(1920, 240, 600, 360))),
      txtKey2(NewPinField(this, "txtKey2", Texts::NewPinTip, TwipsRect(1920, 720, 600, 360))),
      txtKey3(NewPinField(this, "txtKey3", Texts::NewPinTip, TwipsRect(1920, 1200, 600, 360))),
      Label1(MakeLabel(this, "Label1", Texts::OldPinLabel, TwipsRect(720, 300, 1095, 255))),
      Label2(MakeLabel(this, "Label2", Texts::NewPinLabel, TwipsRect(720, 800, 1095, 255))),
      Label3(MakeLabel(this, "Label3", Texts::ConfirmPinLabel, TwipsRect(720, 1270, 1095, 255))) {
    SetUpWindow();
    SetUpAccessibleNames();
    Connect();
    setTabOrder(txtKey1, txtKey2);
    setTabOrder(txtKey2, txtKey3);
    txtKey1->setFocus();
    Form_Load();
}

void Form3::SetUpWindow() {
    setAttribute(Qt::WA_DeleteOnClose);
    ApplyWindowLook(this, Texts::ChangePinCaption, 4410, 1785);
}

// Screen readers hear each field by its role and its label.
void Form3::SetUpAccessibleNames() {
    Label1->setBuddy(txtKey1);
    Label2->setBuddy(txtKey2);
    Label3->setBuddy(txtKey3);
    txtKey1->setAccessibleName(Texts::OldPinName);
    txtKey2->setAccessibleName(Texts::NewPinName);
    txtKey3->setAccessibleName(Texts::ConfirmPinName);
}

void Form3::Connect() {
    txtKey1->SetEnterAction([this] { CheckOldPin(); });
    txtKey2->SetEnterAction([this] { AskConfirmPin(); });
    txtKey3->SetEnterAction([this] { CheckNewPin(); });
}

void Form3::Form_Load() {
    Label2->hide();
    txtKey2->hide();
    Label3->hide();
    txtKey3->hide();
}

void Form3::CheckOldPin() {
    if (!isOldPin(txtKey1->text())) {
        Refuse(Box::IncorrectOldPin(), {txtKey1}, txtKey1);
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
        Refuse(Box::NewPinMismatch(), {txtKey2, txtKey3}, txtKey2);
        return;
    }
    // The ledger is saved only under a four-digit PIN; any other would lose the run's
    // bookings at close without a word.
    const std::optional<Pin> pin = Pin::FromText(txtKey3->text());
    if (!pin) {
        Refuse(Box::PinNotFourDigits(), {txtKey2, txtKey3}, txtKey2);
        return;
    }
    ApplyNewPin(*pin);
}

void Form3::ApplyNewPin(const Pin& pin) {
    emit NewPinChosen(pin);
    close();
}

void Form3::Form_Unload() {
    emit Closing();
}

void Form3::Refuse(const BoxMessage& box, std::initializer_list<QLineEdit*> emptied,
                   QLineEdit* focus) {
    for (QLineEdit* field : emptied)
        field->clear();
    ShowBox(box);
    focus->setFocus();
}

void Form3::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}
