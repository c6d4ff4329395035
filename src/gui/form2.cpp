#include "gui/form2.h"

#include "gui/messages.h"

#include "gui/look.h"
#include "gui/numeric_field.h"
#include "gui/runtime.h"
#include "gui/twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

namespace {
constexpr int ClientWidth = 10260;
constexpr int ClientHeight = 4440;

QFont FieldFont() {
    return DesignFont(QStringLiteral("MS Sans Serif"), 12, true);
}

QPushButton* BookingButton(QWidget* parent, const char* name, const QString& caption,
                           const QRect& geometry) {
    auto* button = Place(new QPushButton(caption, parent), name, geometry);
    button->setFont(FieldFont());
    PressOnEnter(button);
    PaintGrey(button);
    return button;
}

QMenu* FileMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(Texts::FileMenu);
    menu->setObjectName(QStringLiteral("File"));
    // The separators at both ends are part of the design.
    menu->setSeparatorsCollapsible(false);
    return menu;
}

// A separator, then the entry after it.
QAction* MenuEntry(QMenu* menu, const char* separator, const char* name, const QString& caption) {
    menu->addSeparator()->setObjectName(QLatin1String(separator));
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    // Never moved to an application menu by its text: "Exit" must not become Quit.
    action->setMenuRole(QAction::NoRole);
    return action;
}
} // namespace

Form2::Form2(QWidget* parent)
    : QMainWindow(parent), client(new QWidget(this)),
      Text1(Place(new NumericField(client), "Text1", TwipsRect(3600, 120, 2295, 420))),
      txtData(Place(new QPlainTextEdit(client), "txtData", TwipsRect(120, 600, 9975, 3615))),
      Minus(BookingButton(client, "Minus", Texts::DebitCaption, TwipsRect(2280, 120, 1200, 375))),
      Plus(BookingButton(client, "Plus", Texts::CreditCaption, TwipsRect(6240, 120, 1200, 375))),
      Label1(Place(new QLabel(client), "Label1", TwipsRect(0, 4200, 10095, 255))),
      File(FileMenu(menuBar())),
      SaveUcTxt(MenuEntry(File, "Sp1", "SaveUcTxt", Texts::SaveUcTxtEntry)),
      ChaPass(MenuEntry(File, "Sp4", "ChaPass", Texts::ChaPassEntry)),
      ExitNoEc(MenuEntry(File, "Sp2", "ExitNoEc", Texts::ExitNoEcEntry)) {
    File->addSeparator()->setObjectName(QStringLiteral("Sp3"));
    SetUpWindow();
    SetUpFields();
    SetUpAccessibleNames();
    Connect();
    Text1->setFocus();
}

void Form2::SetUpWindow() {
    ApplyWindowLook(this, Texts::LedgerCaption, ClientWidth, ClientHeight);
    client->setFixedSize(TwipsToPx(ClientWidth), TwipsToPx(ClientHeight));
    setCentralWidget(client);
    setFixedSize(client->width(), client->height() + menuBar()->sizeHint().height());
    PaintGrey(Label1);
    Label1->setToolTip(Texts::AboutTip);
}

void Form2::SetUpFields() {
    Text1->setMaxLength(8);
    Text1->setAlignment(Qt::AlignCenter);
    Text1->setFont(FieldFont());

    txtData->setReadOnly(true);
    txtData->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtData->setUndoRedoEnabled(false);
    txtData->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A line wider than the field, in a font wider than the design's, scrolls sideways: a
    // wrapped balance would read as a line of its own.
    txtData->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    txtData->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtData->setFont(FieldFont());
}

// Screen readers get a role where the design gives no caption or only a symbol.
void Form2::SetUpAccessibleNames() {
    Text1->setAccessibleName(Texts::AmountName);
    txtData->setAccessibleName(Texts::LedgerName);
    Minus->setAccessibleName(Texts::DebitName);
    Plus->setAccessibleName(Texts::CreditName);
    Label1->setAccessibleName(Texts::AboutName);
}

void Form2::Connect() {
    connect(Plus, &QPushButton::clicked, this, &Form2::Plus_Click);
    connect(Minus, &QPushButton::clicked, this, &Form2::Minus_Click);
    connect(SaveUcTxt, &QAction::triggered, this, &Form2::SaveUcTxt_Chosen);
    connect(ChaPass, &QAction::triggered, this, &Form2::ChaPass_Chosen);
    connect(ExitNoEc, &QAction::triggered, this, &Form2::ExitNoEc_Chosen);
}

void Form2::ShowLedger(const QString& text) {
    txtData->setPlainText(text);
}

void Form2::Plus_Click() {
    emit BookingRequested(Booking::Credit, Text1->text());
}

void Form2::Minus_Click() {
    emit BookingRequested(Booking::Debit, Text1->text());
}

void Form2::ShowBooking(const BookingOutcome& outcome) {
    switch (outcome.result) {
    case BookingResult::ZeroAmount:
        Text1->clear();
        Rt().Beep();
        Text1->setFocus();
        return;
    case BookingResult::TooLong:
        // Refused now, while the text can still be enciphered and saved.
        ShowBox(Box::TooMuchText());
        return;
    case BookingResult::Overflow:
        ShowBox(Box::NumberTooLarge());
        return;
    case BookingResult::Booked:
        break;
    }
    // Only the new lines are laid out, however long the ledger is.
    QTextCursor(txtData->document()).insertText(outcome.lines);
    txtData->setTextCursor(QTextCursor(txtData->document()));
}

void Form2::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit CloseRequested();
}
