// What a screen reader learns of the console on Qt, read the way it reads it (through
// QAccessible), and how the console looks on a dark desktop palette.
#include "framework/qt/QtAccessibility.h"
#include "console/ConsoleDlg.h"
#include "framework/qt/QtDialogWindow.h"
#include "testing/RecordedTransmission.h"
#include "tests/ConsoleAccessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

QAccessible::Role QtRole(AccessibleRole role)
{
    switch (role) {
    case AccessibleRole::Slider:
        return QAccessible::Slider;
    case AccessibleRole::Text:
        return QAccessible::EditableText;
    case AccessibleRole::Button:
        return QAccessible::Button;
    case AccessibleRole::CheckBox:
        return QAccessible::CheckBox;
    case AccessibleRole::Radio:
        return QAccessible::RadioButton;
    case AccessibleRole::Grouping:
        return QAccessible::Grouping;
    }
    return QAccessible::NoRole;
}

// The contrast ratio of two colours, as the web's accessibility guidelines measure it.
double Luminance(const QColor& colour)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) +
           0.0722 * channel(colour.blue());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Lines and outlines need 3:1 against what they stand on.
constexpr double kReadableLine = 3.0;

// The pixel of `area` in `image` that stands out most from `background`.
QColor MostContrasting(const QImage& image, const QRect& area, const QColor& background)
{
    QColor best = background;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (const QColor c = image.pixelColor(x, y);
                Contrast(c, background) > Contrast(best, background))
                best = c;
    return best;
}

class ConsoleAccessibility : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = std::make_unique<CQtDialogWindow>(m_console, *FindDialogTemplate(IDD_CONSOLE));
        m_console.Attach(*m_window);
        m_window->Widget()->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_window->Widget()));
    }
    void TearDown() override
    {
        m_window.reset();
        QApplication::setPalette(QPalette());
    }

    QAccessibleInterface* Reader(int index) const
    {
        return QAccessible::queryAccessibleInterface(m_window->ControlAt(index));
    }
    void Type(int id, const char* text)
    {
        auto* box = qobject_cast<QLineEdit*>(m_window->Control(id));
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, QString::fromLatin1(text));
    }
    void Click(int id)
    {
        QTest::mouseClick(qobject_cast<QAbstractButton*>(m_window->Control(id)), Qt::LeftButton);
    }

    CRecordedTransmission m_wire;
    CConsoleDlg m_console{m_wire.worker};
    std::unique_ptr<CQtDialogWindow> m_window;
};

TEST_F(ConsoleAccessibility, EveryControlHasItsOwnNameAndTheRoleOfWhatItIs)
{
    Type(IDC_BASE_ADDR, kAccessibleBase);
    for (const ExpectedAccessible& row : ExpectedConsoleAccessibles()) {
        SCOPED_TRACE(row.name);
        QAccessibleInterface* reader = Reader(row.index);
        ASSERT_NE(reader, nullptr);
        EXPECT_EQ(reader->text(QAccessible::Name).toStdString(), row.name);
        EXPECT_EQ(reader->role(), QtRole(row.role));
    }
}

TEST_F(ConsoleAccessibility, AFaderReadsItsLevelInTheUnitsOfTheBoxes)
{
    Type(IDC_LEVEL1, "50");
    QTest::keyClick(m_window->Control(IDC_LEVEL1), Qt::Key_Return); // position 128
    QAccessibleValueInterface* value = Reader(1)->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), 49);
    EXPECT_EQ(value->maximumValue().toInt(), 100);
    Click(IDC_VALUE);
    EXPECT_EQ(value->currentValue().toInt(), 127);
    EXPECT_EQ(value->maximumValue().toInt(), 255);
    EXPECT_EQ(Reader(1)->text(QAccessible::Value), "127");
}

TEST_F(ConsoleAccessibility, ThePortGroupSaysHowTheLastTransmissionWent)
{
    QAccessibleInterface* group = Reader(kPortGroupBoxIndex);
    EXPECT_EQ(group->text(QAccessible::Name), "Port: nothing sent yet");
    Click(IDC_ENA1);
    Click(IDC_SET1);
    ASSERT_TRUE(QTest::qWaitFor(
        [group] { return group->text(QAccessible::Name).contains("reached COM1"); }, 5000));
    EXPECT_TRUE(group->text(QAccessible::Description).contains("1 frame sent to COM1"));
    EXPECT_EQ(Reader(58)->text(QAccessible::Name), "Display") << "its caption names it";
}

TEST_F(ConsoleAccessibility, LabelsAreTiedToTheControlsTheyName)
{
    EXPECT_EQ(qobject_cast<QLabel*>(m_window->ControlAt(kBaseLabelIndex))->buddy(),
              m_window->Control(IDC_BASE_ADDR));
    EXPECT_EQ(qobject_cast<QLabel*>(m_window->Control(IDC_CHAN_LABEL3))->buddy(),
              m_window->Control(IDC_SLIDER3));
}

// A dark desktop: tick marks and check-box outlines take their colour from the palette, and
// a fader's ticks look the same whether it has the keyboard's focus or not.
TEST_F(ConsoleAccessibility, TicksAndBoxOutlinesStayReadableOnADarkPalette)
{
    const QColor window(0x2B, 0x2B, 0x2B);
    QPalette dark(window);
    dark.setColor(QPalette::WindowText, QColor(0xE6, 0xE6, 0xE6));
    dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
    QApplication::setPalette(dark);
    m_window->Widget()->setPalette(dark);

    auto* fader = qobject_cast<QSlider*>(m_window->Control(IDC_SLIDER2));
    const QRect leftTicks(0, 0, 4, fader->height()); // the tick marks' strip beside the groove
    const QImage plain = fader->grab().toImage();
    const QColor tick = MostContrasting(plain, leftTicks, window);
    EXPECT_GE(Contrast(tick, window), kReadableLine) << tick.name().toStdString();
    RecordProperty("tickContrast", QString::number(Contrast(tick, window), 'f', 2).toStdString());
    fader->setFocus(Qt::TabFocusReason); // the keyboard's focus lights the groove up
    ASSERT_TRUE(fader->hasFocus());
    const QImage focused = fader->grab().toImage();
    EXPECT_EQ(MostContrasting(focused, leftTicks, window), tick);

    auto* box = qobject_cast<QCheckBox*>(m_window->Control(IDC_GRP2));
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator =
        box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    const QImage image = box->grab().toImage();
    const QColor outline = MostContrasting(image, indicator, window);
    EXPECT_GE(Contrast(outline, window), kReadableLine) << outline.name().toStdString();
    RecordProperty("outlineContrast",
                   QString::number(Contrast(outline, window), 'f', 2).toStdString());
}

} // namespace
