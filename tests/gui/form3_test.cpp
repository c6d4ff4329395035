#include "gui/form3.h"
#include "gui/look.h"
#include "support/controls.h"
#include "support/placement.h"
#include "support/scripted_runtime.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const QString StartupPin = QStringLiteral("1234");

// A message box and the three fields' texts while it was up.
struct Seen {
    RecordedBox box;
    QString fields;
};

class ChangePin : public ::testing::Test {
  protected:
    ScriptedRuntime rt;
    std::optional<Pin> chosen; // what the window handed on
    QWidget ledger;
    QPointer<Form3> form;
    std::vector<Seen> seen;

    void SetUp() override {
        rt.onBox = [this](const RecordedBox& box) { seen.push_back({box, FieldTexts()}); };
        Open();
    }
    void TearDown() override { delete form; }

    void Open() {
        form = new Form3([](const QString& old) { return old == StartupPin; });
        QObject::connect(form, &Form3::NewPinChosen, [this](const Pin& pin) { chosen = pin; });
        QObject::connect(form, &Form3::Closing, &ledger, &QWidget::show);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    }
    QLineEdit* Field(const QString& name) const {
        return Find<QLineEdit>(*form, name.toLatin1().constData());
    }
    QString FieldTexts() const {
        return Field("txtKey1")->text() + '|' + Field("txtKey2")->text() + '|' +
               Field("txtKey3")->text();
    }
    QWidget* Focused() const { return QApplication::focusWidget(); }

    // Types into whichever field has the focus, as a user would; '\r' is Enter.
    void Type(const QString& keys) {
        for (const QChar c : keys) {
            if (c == QLatin1Char('\r'))
                QTest::keyClick(Focused(), Qt::Key_Return);
            else
                QTest::keyClicks(Focused(), QString(c));
        }
    }
    // The rows on screen, as a string of visible field numbers.
    QString Rows() const {
        QString rows;
        for (int row = 1; row <= 3; ++row) {
            const QString n = QString::number(row);
            const bool field = Field("txtKey" + n)->isVisible();
            EXPECT_EQ(field, Find(*form, qPrintable("Label" + n))->isVisible()) << row;
            if (field) rows += QString::number(row);
        }
        return rows;
    }
    bool Destroyed() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return form.isNull();
    }
    // The one box seen, with the fields' texts while it was up.
    void ExpectRefused(const BoxMessage& box, const QString& fields) const {
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].box, box);
        EXPECT_EQ(seen[0].fields, fields);
    }
};

TEST_F(ChangePin, LaysOutTheDesignedWindow) {
    EXPECT_EQ(form->windowTitle(), Texts::ChangePinCaption);
    EXPECT_EQ(form->size(), QSize(294, 119));
    ExpectPlaced(*form, {{"txtKey1", {128, 16, 40, 24}, Texts::OldPinTip},
                         {"txtKey2", {128, 48, 40, 24}, Texts::NewPinTip},
                         {"txtKey3", {128, 80, 40, 24}, Texts::NewPinTip},
                         {"Label1", {48, 20, 73, 17}},
                         {"Label2", {48, 53, 73, 17}},
                         {"Label3", {48, 85, 73, 17}}});

    for (const char* name : {"txtKey1", "txtKey2", "txtKey3"}) {
        QLineEdit* field = Field(name);
        QTest::keyClicks(field, "12");
        EXPECT_EQ(field->displayText(), "**") << name;
        EXPECT_EQ(field->maxLength(), 4) << name;
        EXPECT_EQ(field->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter) << name;
        EXPECT_EQ(field->font(), DesignFont(QStringLiteral("Courier New"), 9.75, true)) << name;
        EXPECT_FALSE(field->testAttribute(Qt::WA_InputMethodEnabled)) << name;
    }

    const std::pair<const char*, QString> labels[] = {{"Label1", Texts::OldPinLabel},
                                                      {"Label2", Texts::NewPinLabel},
                                                      {"Label3", Texts::ConfirmPinLabel}};
    for (const auto& [name, caption] : labels) {
        const QLabel* label = Find<QLabel>(*form, name);
        EXPECT_EQ(label->text(), caption) << name;
        EXPECT_TRUE(label->alignment() & Qt::AlignRight) << name;
        const QRect needed = QFontMetrics(label->font()).boundingRect(caption);
        EXPECT_LE(needed.width(), label->contentsRect().width()) << name;
        EXPECT_LE(needed.height(), label->contentsRect().height()) << name;
    }
}

TEST_F(ChangePin, RevealsTheRowsStepByStepAndTabsThroughThem) {
    EXPECT_EQ(Rows(), "1");
    EXPECT_EQ(Focused(), Field("txtKey1"));
    Type("1234\r");
    EXPECT_EQ(Rows(), "12");
    EXPECT_EQ(Focused(), Field("txtKey2"));
    Type("\r"); // an empty new PIN still moves on to the confirmation
    EXPECT_EQ(Rows(), "123");
    EXPECT_EQ(Focused(), Field("txtKey3"));
    EXPECT_TRUE(rt.boxes.empty());

    for (const char* next : {"txtKey1", "txtKey2", "txtKey3"}) {
        QTest::keyClick(Focused(), Qt::Key_Tab);
        EXPECT_EQ(Focused(), Field(next));
    }
}

// What has been typed to reach each state, and the rows then shown.
struct Step {
    QString typed, rows;
    friend void PrintTo(const Step& s, std::ostream* os) { *os << "rows " << s.rows.toStdString(); }
};
class AtEachStep : public ChangePin, public ::testing::WithParamInterface<Step> {};
INSTANTIATE_TEST_SUITE_P(Steps, AtEachStep,
                         ::testing::Values(Step{"", "1"}, Step{"1234\r56", "12"},
                                           Step{"1234\r56\r7", "123"}));

TEST_P(AtEachStep, WrongOldPinEmptiesOnlyTheOldPinAndKeepsTheRows) {
    Type(GetParam().typed);
    const QString before = FieldTexts();
    Field("txtKey1")->clear();
    Field("txtKey1")->setFocus();
    Type("12\r");
    ExpectRefused(Box::IncorrectOldPin(), "|" + before.section('|', 1));
    EXPECT_EQ(Rows(), GetParam().rows);
    EXPECT_EQ(Focused(), Field("txtKey1"));
}

TEST_P(AtEachStep, CloseBoxBringsTheLedgerBackWithItsPin) {
    Type(GetParam().typed);
    form->close();
    EXPECT_TRUE(ledger.isVisible());
    EXPECT_FALSE(chosen);
    EXPECT_TRUE(Destroyed());

    Open(); // a fresh window forgets what was typed
    EXPECT_EQ(Rows(), "1");
    for (const char* name : {"txtKey1", "txtKey2", "txtKey3"})
        EXPECT_TRUE(Field(name)->text().isEmpty()) << name;
}

TEST_F(ChangePin, NewPinsThatDoNotMatchAreRefused) {
    Type("1234\r1111\r2222\r");
    ExpectRefused(Box::NewPinMismatch(), "1234||");
    EXPECT_EQ(Rows(), "123");
    EXPECT_EQ(Focused(), Field("txtKey2"));
    EXPECT_FALSE(chosen);
    EXPECT_FALSE(Destroyed());
}

class MatchingButNotFourDigits : public ChangePin, public ::testing::WithParamInterface<QString> {};
INSTANTIATE_TEST_SUITE_P(Pins, MatchingButNotFourDigits,
                         ::testing::Values("", "1", "123", "12.4", "1%34", "&'(."));

TEST_P(MatchingButNotFourDigits, IsRefusedSoTheLedgerStaysSavable) {
    Type("1234\r" + GetParam() + "\r" + GetParam() + "\r");
    ExpectRefused(Box::PinNotFourDigits(), "1234||");
    EXPECT_EQ(Rows(), "123");
    EXPECT_EQ(Focused(), Field("txtKey2"));
    EXPECT_FALSE(chosen);
    EXPECT_FALSE(Destroyed());
}

class Accepted : public ChangePin, public ::testing::WithParamInterface<QString> {};
INSTANTIATE_TEST_SUITE_P(Pins, Accepted, ::testing::Values("5678", StartupPin, "0000"));

TEST_P(Accepted, HandsTheNewPinToTheLedgerAndCloses) {
    Type("1234\r" + GetParam() + "\r" + GetParam() + "\r");
    EXPECT_TRUE(rt.boxes.empty());
    EXPECT_EQ(chosen, Pin::FromText(GetParam()));
    EXPECT_TRUE(ledger.isVisible());
    EXPECT_TRUE(Destroyed());
}

TEST_F(ChangePin, AWrongOldPinAfterTheNewRowDoesNotStopTheChange) {
    Type("1234\r9999\r");
    Field("txtKey1")->setFocus();
    Type("1111\r");
    Field("txtKey2")->setFocus();
    Type("\r9999\r");
    EXPECT_EQ(chosen, Pin::FromText(u"9999"));
    EXPECT_TRUE(Destroyed());
}
} // namespace
