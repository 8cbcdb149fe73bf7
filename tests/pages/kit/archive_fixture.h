#pragma once
// A small decoded archive for the file and page tests: four logs with points of every type,
// equal tokens, a log whose last sample comes after the busiest log's last, a log that
// records nothing, and times of which some fall at exactly midnight (en-US formats).
#include "tests/pages/kit/log_records.h"
#include "tests/sim/core/archive_frames.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/rtdb/database.h"

#include <QLocale>

#include <optional>

namespace archivetest {

// Day count of token t: 46000 + t / 400 (token 400 is midnight of 9 December 2025).
inline double TokenToDate(uint32_t token) { return 46000.0 + token / 400.0; }

class ArchiveFixture {
public:
    ArchiveFixture()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        db = DataBase::Instance();
        kept_.emplace(db);
        auto set = [this](int p, uint8_t id, uint8_t enable, std::initializer_list<uint16_t> points) {
            LogConfigRecord r = logtest::Log(id, points);
            r.LOG_NUMBER = static_cast<uint8_t>(p);
            r.Enable = enable;
            db->LogRecord(p) = r;
        };
        set(0, 11, 1, {410});            // On Run: u8
        set(1, 12, 1, {395, 10});        // Hourly: float, u16
        set(2, 13, 1, {500, 392});       // Daily: u32, stream number shown from 1
        set(3, 14, 1, {});
        db->LogRecord(3).ParametersInLog = 0;   // records nothing
        set(4, 15, 1, {10});
        set(5, 16, 0, {10});             // disabled
        m = LogDBManager::Instance();
        m->Clear();
        m->SetTokenToDate(&TokenToDate);
    }
    ~ArchiveFixture()
    {
        LogDBManager::DestroyInstance();
        kept_.reset();
        QLocale::setDefault(QLocale::system());
    }

    // Ten samples; tokens 100 and 100 are equal (the Hourly one came first).
    void Fill()
    {
        using sim::ArchiveFrame;
        const std::vector<ArchiveFrame> frames = {
            {12, 100, {{sim::FloatBits(1.5f), 4}, {0xDEDE, 2}}},
            {11, 100, {{0xDE, 1}}},
            {11, 400, {{7, 1}}},
            {13, 700, {{4000000000u, 4}, {0, 1}}},
            {11, 800, {{8, 1}}},
            {12, 950, {{sim::FloatBits(NAN), 4}, {5, 2}}},
            {11, 1200, {{9, 1}}},
            {13, 1300, {{222, 4}, {3, 1}}},
            {11, 1600, {{10, 1}}},
            {12, 1700, {{sim::FloatBits(-0.125f), 4}, {65535, 2}}},
        };
        const QByteArray memory = sim::ArchiveMemory(frames, 4);   // a wrapped ring
        m->Feed(reinterpret_cast<const uint8_t*>(memory.constData()), static_cast<size_t>(memory.size()));
        m->BuildLogLists();
    }

    DataBase* db = nullptr;
    LogDBManager* m = nullptr;

private:
    std::optional<logtest::KeptLogRecords> kept_;
};

}  // namespace archivetest
