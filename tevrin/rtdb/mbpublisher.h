#pragma once
// Observer list for the Modbus map model. Observers are not owned; the order of attachment
// is kept and the same observer may be attached more than once.
#include <QString>
#include <vector>

// Which part of the map a notice concerns; whole-map notices (a load) use 0.
using TMBGProfile = int;

class IMBObserver {
public:
    virtual ~IMBObserver() = default;
    // A load of the whole map arrives as (0, 1, "loadFromUnit", 0).
    virtual void Respond(TMBGProfile profile, int index, const QString& propertyId, int value) = 0;
};

class MBPublisher {
public:
    MBPublisher() = default;
    virtual ~MBPublisher() = default;
    MBPublisher(const MBPublisher&) = delete;
    MBPublisher& operator=(const MBPublisher&) = delete;

    virtual void Attach(IMBObserver* observer);
    // Removes every entry equal to the observer.
    virtual void Detach(IMBObserver* observer);
    // Calls Respond with the same four values on each observer in attach order. An observer
    // must not attach or detach observers of the same publisher while it is being notified.
    virtual void Notify(TMBGProfile profile, int index, const QString& propertyId, int value);


private:
    std::vector<IMBObserver*> observers_;
};
