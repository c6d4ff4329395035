#include "gui/form1.h"

#include "gui/look.h"
#include "gui/messages.h"
#include "gui/numeric_field.h"
#include "gui/pin_field.h"
#include "gui/runtime.h"
#include "gui/twips.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {
QPushButton* PictureButton(QWidget* parent, const char* name, const QString& toolTip) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(toolTip);
    button->setIconSize(QSize(16, 16));
    PressOnEnter(button);
    PaintGrey(button);
    return button;
}
} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent), Command2(PictureButton(this, "Command2", Texts::HidePinTip)),
      txtKey(new NumericField(this)), Label1(new QLabel(this)),
      Command1(PictureButton(this, "Command1", Texts::ShowPinTip)) {
    setObjectName(QStringLiteral("Form1"));
    ApplyWindowLook(this, Texts::PinCaption, 4680, 1170);

    Command2->setGeometry(TwipsRect(2520, 495, 330, 360));
    Command2->hide();
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);

    txtKey->setObjectName(QStringLiteral("txtKey"));
    txtKey->setGeometry(TwipsRect(1665, 495, 840, 360));
    MakePinField(txtKey);
    txtKey->setToolTip(Texts::PinTip);
    txtKey->SetEnterAction([this] { CheckPin(); });

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(TwipsRect(480, 240, 3495, 300));
    Label1->setText(Texts::PinLabel);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(DesignFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    FitCaption(Label1);
    PaintGrey(Label1);

    Command1->setGeometry(TwipsRect(2520, 480, 330, 360));
    Command1->setIcon(Picture(QStringLiteral("eye")));
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);

    // Screen readers get a role where the design gives no caption.
    Command2->setAccessibleName(Texts::HidePinName);
    txtKey->setAccessibleName(Texts::PinName);
    Command1->setAccessibleName(Texts::ShowPinName);
    Label1->setBuddy(txtKey);

    setTabOrder(Command2, txtKey);
    setTabOrder(txtKey, Command1);
    txtKey->setFocus();
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
