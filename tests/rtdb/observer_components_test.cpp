// The components through which forms hear the sequencer, timer and Modbus map models.
#include "tevrin/rtdb/observer_components.h"
#include "tevrin/rtdb/sequencer.h"
#include "tevrin/rtdb/timer_x_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ObserverComponents, BlockNoticesReachEveryAttachedComponentInAttachOrder)
{
    Sequencer sequencer;
    TimerXManager timers;
    TQStructOberver first, second, silent;
    std::vector<std::string> heard;
    QObject::connect(&first, &TQStructOberver::OnSChanged, [&](int type, void* st) {
        heard.push_back("first " + std::to_string(type) + (st == sequencer.Block() ? " sequencer" : "") +
                        (st == timers.Block() ? " timers" : ""));
    });
    QObject::connect(&second, &TQStructOberver::OnSChanged, [&](int type, void* st) {
        heard.push_back("second " + std::to_string(type) + (st == sequencer.Block() ? " sequencer" : "") +
                        (st == timers.Block() ? " timers" : ""));
    });
    // A component with nothing connected takes the notice and does nothing.
    for (TQStructOberver* o : {&second, &silent, &first}) sequencer.Attach(o);
    timers.Attach(&first);
    timers.Attach(&second);

    sequencer.Publish();
    timers.Publish();
    EXPECT_EQ(heard, (std::vector<std::string>{"second 0 sequencer", "first 0 sequencer", "first 0 timers",
                                               "second 0 timers"}));

    heard.clear();
    timers.Detach(&first);
    timers.ClipToStreamCount(9);   // notifies whatever the setting
    EXPECT_EQ(heard, std::vector<std::string>{"second 0 timers"});
}

TEST(ObserverComponents, ModbusNoticesCarryTheirFourValues)
{
    MBPublisher list;
    QModbusObserver a, b, unconnected;
    std::vector<std::string> heard;
    const auto record = [&heard](const char* who) {
        return [&heard, who](TMBGProfile profile, int index, const QString& propertyId, int value) {
            heard.push_back(std::string(who) + " " + std::to_string(profile) + " " + std::to_string(index) + " " +
                            propertyId.toStdString() + " " + std::to_string(value));
        };
    };
    QObject::connect(&a, &QModbusObserver::OnMBChanged, record("a"));
    QObject::connect(&b, &QModbusObserver::OnMBChanged, record("b"));
    list.Attach(&a);
    list.Attach(&unconnected);
    list.Attach(&b);

    list.Notify(0, 1, QStringLiteral("loadFromUnit"), 0);
    list.Notify(2, 7, QStringLiteral("access"), -3);
    EXPECT_EQ(heard, (std::vector<std::string>{"a 0 1 loadFromUnit 0", "b 0 1 loadFromUnit 0", "a 2 7 access -3",
                                               "b 2 7 access -3"}));
}

TEST(ObserverComponents, SequencerEditingNoticesPassThrough)
{
    TQSequencerObserver component;
    ISEObserver& asObserver = component;
    asObserver.Respond(1, 2, QStringLiteral("run"), 3);   // nothing connected yet: ignored

    std::vector<std::string> heard;
    QObject::connect(&component, &TQSequencerObserver::OnSEChanged,
                     [&](int parentIndex, int index, const QString& propertyId, int value) {
                         heard.push_back(std::to_string(parentIndex) + " " + std::to_string(index) + " " +
                                         propertyId.toStdString() + " " + std::to_string(value));
                     });
    asObserver.Respond(4, 5, QStringLiteral("stream"), 6);
    EXPECT_EQ(heard, std::vector<std::string>{"4 5 stream 6"});
}

}  // namespace
