#include "platform/process_wide.h"

#include <QCoreApplication>
#include <QVariant>
#include <map>
#include <string>

namespace platform {

namespace {
std::map<std::string, void*>& fallback()
{
    static std::map<std::string, void*> table;
    return table;
}
}  // namespace

void* ProcessWideGet(const char* key)
{
    if (auto* app = QCoreApplication::instance()) {
        const QVariant v = app->property(key);
        if (v.isValid()) return reinterpret_cast<void*>(v.value<quintptr>());
        return nullptr;
    }
    auto it = fallback().find(key);
    return it == fallback().end() ? nullptr : it->second;
}

void ProcessWideSet(const char* key, void* value)
{
    if (auto* app = QCoreApplication::instance()) {
        app->setProperty(key, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(value)));
        return;
    }
    fallback()[key] = value;
}

QObject* MainForm() { return static_cast<QObject*>(ProcessWideGet("tevrin.mainForm")); }

void SetMainForm(QObject* form) { ProcessWideSet("tevrin.mainForm", form); }

}  // namespace platform
