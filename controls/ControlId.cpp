#include "controls/ControlId.h"

#include <QVariant>

namespace {
constexpr char kControlIdProperty[] = "controlId";
}

void SetControlId(QWidget* widget, int id) { widget->setProperty(kControlIdProperty, id); }

int ControlIdOf(const QObject* object) { return object->property(kControlIdProperty).toInt(); }

QWidget* FindControl(const QWidget* root, int id) {
    const QList<QWidget*> all = root->findChildren<QWidget*>();
    for (QWidget* w : all) {
        if (ControlIdOf(w) == id) return w;
    }
    return nullptr;
}
