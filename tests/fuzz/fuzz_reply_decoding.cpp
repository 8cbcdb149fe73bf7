// The message layer's reply decoding, with no engine or simulator in the loop: the first byte
// picks an operation, the rest are the reply messages the engine hands back, each as a length
// byte n and n - 1 more bytes (the engine's reply always begins with its own length). When the
// replies run out the unit is silent.
#include "tests/fuzz/fuzz_support.h"

#include "tevrin/rtdb/catalogue/catalogue_rows.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/communications.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/modbus_list.h"
#include "tevrin/rtdb/sequencer.h"
#include "tevrin/rtdb/timer_x_manager.h"

#include <cstring>
#include <string>

namespace {

const uint8_t* gData = nullptr;
size_t gLeft = 0;

int FuzzSendReceive(const unsigned char*, int, unsigned char* reply, int* replyLength, bool)
{
    if (gLeft == 0) return pollard_api::crNoResponse;
    const int n = gData[0];
    if (n == 0 || static_cast<size_t>(n) > gLeft) {
        gLeft = 0;
        return pollard_api::crNoResponse;
    }
    const int capacity = replyLength ? *replyLength : pollard_api::kReplyBufferSize;
    if (n > capacity) return pollard_api::crInvalidResponse;
    if (reply) {
        std::memcpy(reply, gData, static_cast<size_t>(n));
        reply[0] = static_cast<unsigned char>(n);
    }
    if (replyLength) *replyLength = n;
    gData += n;
    gLeft -= static_cast<size_t>(n);
    return pollard_api::crSuccess;
}

int FuzzConnect() { return 0; }
void FuzzNothing() {}

DataBase* gDb = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    PollardApi api;
    api.SendReceive = FuzzSendReceive;
    api.CommConnect = FuzzConnect;
    api.Initialize = FuzzNothing;
    api.Cleanup = FuzzNothing;
    Communications::InstanceWithApi(api);
    gDb = DataBase::Instance();
    // A page of 45 points in blocks of 20 and the text points read one by one.
    ExpressScan& scan = gDb->AsExpressScan();
    scan.Clear();
    int added = 0;
    for (int row = 0; row < rosetta::kCatalogueRowCount && added < 50; row += 7) {
        if (DatabasePoint* p = gDb->PointByIndex(row)) {
            scan.Add(p->GetDbId());
            ++added;
        }
    }
    scan.SetPage(5, 0, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 8192) return 0;
    gData = data + 1;
    gLeft = size - 1;
    CommDBPointFacade& f = *CommDBPointFacade::Instance();
    try {
        switch (data[0] % 20) {
        case 0: f.ReadFloat(64); break;
        case 1: {
            std::string text = "kept";
            const int n = f.ReadString(1, text);
            fuzz::Require(n >= 0 && n <= CommDBPointFacade::kMaxTextLength, "text length");
            fuzz::Require(text.size() <= static_cast<size_t>(CommDBPointFacade::kMaxTextLength), "text size");
            break;
        }
        case 2: f.ReadModbusHeader(); break;
        case 3: f.ReadModbusEntry(7); break;
        case 4: f.ReadLogConfig(2); break;
        case 5: f.ReadArchiveBlock(400, 200); break;
        case 6: f.ReadLogStatus(); break;
        case 7: {
            BlockReadRequest request{};
            request.count = 3;
            request.rows[0] = 10;
            request.rows[1] = 64;
            request.rows[2] = 300;
            f.ReadBlock(request);
            break;
        }
        case 8: {
            uint8_t block[kSequencerBlockSize];
            f.ReadSequencer(block);
            break;
        }
        case 9: {
            uint8_t block[kTimerBlockSize];
            f.ReadTimers(block);
            break;
        }
        case 10: f.IsWriteConfigBusy(); break;
        case 11: f.WriteModbusEntry(ModbusEntry{}); break;
        case 12: f.WriteImageBlock(MemoryBlock{}); break;
        case 13: f.ReadU32(5); break;
        case 14: gDb->ExpressRead(false); break;
        case 15: gDb->AsModbusList()->LoadFromUnit(); break;
        case 16: gDb->AsSequencer()->ReadFromUnit(); break;
        case 17: gDb->AsTimerXManager()->ReadFromUnit(); break;
        case 18: gDb->ExpressRead(true); break;
        default: f.ReadEventBlock(0, 200); break;
        }
    } catch (int) {
        // A failed exchange or a refused reply: the error the program reports.
    }
    return 0;
}
