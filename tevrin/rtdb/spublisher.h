#pragma once
// Observer list for whole configuration blocks (the sequencer and timer images). Observers
// are not owned; the order of attachment is kept and the same observer may be attached
// more than once.
#include <vector>

class ISObserver {
public:
    virtual ~ISObserver() = default;
    // id is 0 for every block notice; block points at the block image itself.
    virtual void Respond(int id, void* block) = 0;
};

class SPublisher {
public:
    SPublisher() = default;
    virtual ~SPublisher() = default;
    SPublisher(const SPublisher&) = delete;
    SPublisher& operator=(const SPublisher&) = delete;

    virtual void Attach(ISObserver* observer);
    // Removes every entry equal to the observer.
    virtual void Detach(ISObserver* observer);
    // Calls Respond on each observer in attach order. An observer must not attach or detach
    // observers of the same publisher while it is being notified.
    virtual void Notify(int id, void* block);


private:
    std::vector<ISObserver*> observers_;
};
