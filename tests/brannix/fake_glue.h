#pragma once
// A small stand-in for the real-time database, seen through IDatabaseGlue only, and a tiny
// depth-first broadcaster for driving several controls of one window.
#include "brannix/control_protocol.h"
#include "platform/errors.h"

#include <QApplication>
#include <QWidget>
#include <map>
#include <string>
#include <utility>
#include <vector>

class FakeGlue final : public IDatabaseGlue {
public:
    struct Point {
        std::string name;
        int typeCode = 0;
        bool writable = true;
        std::vector<IDBPointObserver*> observers;
    };
    std::map<TDbId, Point> points;
    std::vector<std::pair<TDbId, std::string>> puts;   // every PutText, in order
    TDbId throwOn = 0;                                   // PutText on this id throws EConvertError

    void Add(TDbId id, int typeCode = 0, const std::string& name = "point")
    {
        points[id].name = name;
        points[id].typeCode = typeCode;
    }
    // Calls Respond on every observer of the point, as the database does for a new value.
    void Announce(TDbId id, const char* value)
    {
        auto it = points.find(id);
        if (it == points.end()) return;
        const auto observers = it->second.observers;
        for (auto* o : observers) o->Respond(value);
    }
    size_t ObserverCount(TDbId id) const
    {
        auto it = points.find(id);
        return it == points.end() ? 0 : it->second.observers.size();
    }
    std::vector<std::string> PutsOf(TDbId id) const
    {
        std::vector<std::string> out;
        for (const auto& p : puts)
            if (p.first == id) out.push_back(p.second);
        return out;
    }

    std::string GetPointName(TDbId id) override
    {
        auto it = points.find(id);
        return it == points.end() ? "0" : it->second.name;
    }
    int Attach(TDbId id, IDBPointObserver* observer) override
    {
        auto it = points.find(id);
        if (it == points.end()) return 1;
        it->second.observers.push_back(observer);
        return 0;
    }
    void Detach(TDbId id, IDBPointObserver* observer) override
    {
        auto it = points.find(id);
        if (it == points.end()) return;
        auto& o = it->second.observers;
        for (auto i = o.begin(); i != o.end();) i = (*i == observer) ? o.erase(i) : i + 1;
    }
    void PutText(TDbId id, const char* text) override
    {
        if (id == throwOn) throw EConvertError(std::string("'") + text + "' is not a valid floating point value");
        puts.emplace_back(id, text);
    }
    bool IsWritable(TDbId id) override
    {
        auto it = points.find(id);
        return it != points.end() && it->second.writable;
    }
    int GetTypeCode(TDbId id) override
    {
        auto it = points.find(id);
        return it == points.end() ? -1 : it->second.typeCode;
    }
};

// Depth-first, pre-order; stops at the first non-zero Result.
inline void Broadcast(QWidget* root, TMessage& m)
{
    QCoreApplication::sendEvent(root, &m);
    if (m.Result != 0) return;
    for (QObject* child : root->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w) continue;
        Broadcast(w, m);
        if (m.Result != 0) return;
    }
}

inline intptr_t Send(QWidget* root, unsigned msg, intptr_t lParam = 0)
{
    TMessage m(msg, 0, lParam);
    Broadcast(root, m);
    return m.Result;
}

inline void RegisterAll(QWidget* root, IDatabaseGlue* glue)
{
    TMessage m = MakeDatabaseMessage(glue);
    Broadcast(root, m);
}
