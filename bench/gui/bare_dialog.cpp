// The yardstick for the console's start-up, memory and idle costs: a bare Qt dialog with the
// same widgets (eight faders with their boxes and buttons, the base box, the radios, group
// boxes and labels) and none of our layers. Esc closes it.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace {

constexpr int kChannels = 8;
constexpr int kColumn = 49;
constexpr int kLevelMax = 255;
constexpr int kTicks = 25;

template <class W> W* Place(W* widget, int x, int y, int w, int h)
{
    widget->setGeometry(x, y, w, h);
    return widget;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bare Dialog"));
    dialog.setFixedSize(399, 284);

    for (int i = 0; i < kChannels; ++i) {
        const int x = 7 + i * kColumn;
        Place(new QLabel(QString::number(i + 1), &dialog), x + 3, 8, 33, 13)
            ->setAlignment(Qt::AlignHCenter);
        auto* fader = Place(new QSlider(Qt::Vertical, &dialog), x, 21, 40, 177);
        fader->setRange(0, kLevelMax);
        fader->setTickInterval(kTicks);
        fader->setTickPosition(QSlider::TicksBothSides);
        Place(new QLineEdit(QStringLiteral("0"), &dialog), x, 198, 40, 23);
        Place(new QPushButton(QStringLiteral("Set"), &dialog), x + 5, 226, 28, 16);
        Place(new QCheckBox(QStringLiteral("Grp"), &dialog), x + 3, 250, 45, 16);
        Place(new QCheckBox(QStringLiteral("Ena"), &dialog), x + 3, 265, 45, 16);
    }
    Place(new QLabel(QStringLiteral("Base Addr"), &dialog), 338, 8, 56, 13);
    Place(new QLineEdit(QStringLiteral("1"), &dialog), 338, 23, 39, 23);
    Place(new QPushButton(QStringLiteral("+"), &dialog), 380, 23, 15, 10);
    Place(new QPushButton(QStringLiteral("-"), &dialog), 380, 34, 15, 10);
    Place(new QGroupBox(QStringLiteral("Port"), &dialog), 338, 55, 57, 72);
    for (int i = 0; i < 4; ++i)
        Place(new QRadioButton(QStringLiteral("COM%1").arg(i + 1), &dialog), 344, 68 + 13 * i, 46,
              16)
            ->setChecked(i == 0);
    Place(new QGroupBox(QStringLiteral("Display"), &dialog), 338, 133, 56, 44);
    Place(new QRadioButton(QStringLiteral("Percent"), &dialog), 341, 146, 51, 16)->setChecked(true);
    Place(new QRadioButton(QStringLiteral("Value"), &dialog), 341, 159, 50, 16);
    Place(new QPushButton(QStringLiteral("About"), &dialog), 338, 187, 56, 16);
    Place(new QPushButton(QStringLiteral("Blackout"), &dialog), 338, 206, 56, 16);
    Place(new QPushButton(QStringLiteral("Set All"), &dialog), 338, 226, 56, 16)->setDefault(true);
    Place(new QCheckBox(QStringLiteral("Grp All"), &dialog), 338, 250, 60, 16);
    Place(new QCheckBox(QStringLiteral("Ena All"), &dialog), 338, 265, 60, 16);

    dialog.exec();
    return 0;
}
