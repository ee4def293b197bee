#include "QtAccessibility.h"

#include "FaderSlider.h"
#include "GroupFrame.h"

#include <QAccessibleWidget>

namespace {

class CFaderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit CFaderAccessible(CFaderSlider* fader) : QAccessibleWidget(fader, QAccessible::Slider)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QString::number(Fader()->AccessibleValue());
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return Fader()->AccessibleValue(); }
    // The operator moves a fader with its keys; a screen reader only reads it.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return Fader()->AccessibleTop(); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    CFaderSlider* Fader() const { return static_cast<CFaderSlider*>(widget()); }
};

class CGroupFrameAccessible : public QAccessibleWidget {
public:
    explicit CGroupFrameAccessible(CGroupFrame* frame)
        : QAccessibleWidget(frame, QAccessible::Grouping)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<const CGroupFrame*>(widget())->Title();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* CreateInterface(const QString& /*className*/, QObject* object)
{
    // Our widgets carry no meta-object of their own: they are told apart by their type.
    if (auto* fader = dynamic_cast<CFaderSlider*>(object))
        return new CFaderAccessible(fader);
    if (auto* frame = dynamic_cast<CGroupFrame*>(object))
        return new CGroupFrameAccessible(frame);
    return nullptr;
}

} // namespace

void InstallAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(&CreateInterface);
        return true;
    }();
    (void)installed;
}
