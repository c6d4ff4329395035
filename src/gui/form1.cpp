#include "gui/form1.h"

#include "gui/look.h"
#include "gui/messages.h"
#include "gui/numeric_field.h"
#include "gui/pin_field.h"
#include "gui/twips.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {
QPushButton* PictureButton(QWidget* parent, const char* name, const QString& toolTip,
                           const QRect& geometry) {
    auto* button = Place(new QPushButton(parent), name, geometry);
    button->setToolTip(toolTip);
    button->setIconSize(QSize(16, 16));
    PressOnEnter(button);
    PaintGrey(button);
    return button;
}
} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent),
      Command2(PictureButton(this, "Command2", Texts::HidePinTip, TwipsRect(2520, 495, 330, 360))),
      txtKey(Place(new NumericField(this), "txtKey", TwipsRect(1665, 495, 840, 360))),
      Label1(Place(new QLabel(this), "Label1", TwipsRect(480, 240, 3495, 300))),
      Command1(PictureButton(this, "Command1", Texts::ShowPinTip, TwipsRect(2520, 480, 330, 360))) {
    SetUpWindow();
    SetUpFields();
    SetUpButtons();
    SetUpAccessibleNames();
    Connect();
    setTabOrder(Command2, txtKey);
    setTabOrder(txtKey, Command1);
    txtKey->setFocus();
}

void Form1::SetUpWindow() {
    setObjectName(QStringLiteral("Form1"));
    ApplyWindowLook(this, Texts::PinCaption, 4680, 1170);
}

void Form1::SetUpFields() {
    MakePinField(txtKey);
    txtKey->setToolTip(Texts::PinTip);

    Label1->setText(Texts::PinLabel);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(DesignFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    FitCaption(Label1);
    PaintGrey(Label1);
}

// The hide button takes the show button's place once the PIN shows.
void Form1::SetUpButtons() {
    Command2->hide();
    Command1->setIcon(Picture(QStringLiteral("eye")));
}

// Screen readers get a role where the design gives no caption.
void Form1::SetUpAccessibleNames() {
    Command2->setAccessibleName(Texts::HidePinName);
    txtKey->setAccessibleName(Texts::PinName);
    Command1->setAccessibleName(Texts::ShowPinName);
    Label1->setBuddy(txtKey);
}

void Form1::Connect() {
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    txtKey->SetEnterAction([this] { CheckPin(); });
}

void Form1::CheckPin() {
    if (const std::optional<Pin> pin = Pin::FromText(txtKey->text())) {
        emit PinAccepted(*pin);
        return;
    }
    ShowBox(txtKey->text().isEmpty() ? Box::PinEmpty() : Box::PinNotFourDigits());
    txtKey->setFocus();
}

// The focus leaves the button before it hides: a hidden focused button would pass the focus
// on as if by Tab, which selects the whole PIN for the next key to replace.
void Form1::Command1_Click() {
    txtKey->setEchoMode(QLineEdit::Normal);
    txtKey->setFocus();
    Command1->hide();
    Command2->show();
}

void Form1::Command2_Click() {
    txtKey->setEchoMode(QLineEdit::Password);
    txtKey->setFocus();
    Command2->hide();
    Command1->show();
}

void Form1::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit CloseRequested();
}
