#pragma once
// The analyzer's Modbus slave map inside the real-time database: the mode (ENRON, MODICON16,
// MODICON32), the header of four entry runs and the register groups of the mode, each an
// ordered list of database points. The map moves to and from the unit, the "*.K41mb" list
// file and the configuration file through the flat image of ModmapAdapter.
#include "tevrin/rtdb/mbpublisher.h"
#include "tevrin/rtdb/modmap_adapter.h"

#include <QString>

#include <memory>
#include <vector>

class CommDBPointFacade;
class DatabasePoint;

// One mapped point.
struct MBRegister {
    DatabasePoint* point;
    uint8_t writable;
    int offset;   // position x width, in registers from the group's start
};

// A register group of one kind. Groups are owned by their collection.
class MBGroup : public MBPublisher {
public:
    explicit MBGroup(int kind);

    // Whether the point at a position may be written (input groups: never).
    virtual bool IsWritableAt(int position) const;
    // Appends a register for the point (writable := the point's access); returns its
    // offset.
    virtual int AddPoint(DatabasePoint* point);
    // This group when the kind is its own (an extended group asks its subgroups).
    virtual MBGroup* FindByKind(int kind);
    // Appends one adapter entry per register, in order.
    virtual void FillAdapter(ModmapAdapter& adapter) const;
    // Takes a point read from the unit's map; an extended group picks the subgroup that the
    // entry's bytes name and drops any other entry.
    virtual void TakeUnitEntry(DatabasePoint* point, const ModmapEntry& entry);
    virtual int EntryCount() const { return static_cast<int>(registers_.size()); }
    virtual void Clear() { registers_.clear(); }

    int Kind() const { return kind_; }
    int StartRegister() const { return startRegister_; }
    void SetStartRegister(int reg) { startRegister_ = reg; }
    int Width() const { return width_; }
    // The header run that counts this group's entries; -1 for none.
    virtual int HeaderPair() const;

    int Count() const { return static_cast<int>(registers_.size()); }
    const MBRegister& RegisterAt(int position) const { return registers_.at(static_cast<size_t>(position)); }
    // Position of the register with that offset, -1 when none.
    int PositionOfOffset(int offset) const;
    // Inserts the point at the position (clamped to the end); renumbers.
    void InsertPoint(int position, DatabasePoint* point, uint8_t writable);
    // Removes the register at the position; renumbers.
    void RemoveAt(int position);
    // Moves the register at one position to another; renumbers.
    void Move(int from, int to);

protected:
    MBGroup(int kind, int startRegister, int width);
    void Renumber();

    std::vector<MBRegister> registers_;
    int startRegister_;
    int width_;
    uint8_t kind_;
};

// The families of groups, by layout.
class EnronMBGroup : public MBGroup {
public:
    using MBGroup::MBGroup;
};
class Modicon16MBGroup : public MBGroup {
public:
    using MBGroup::MBGroup;
};
class Modicon32MBGroup : public MBGroup {
public:
    using MBGroup::MBGroup;
};
class Modicon32MBSubgroup : public MBGroup {
public:
    using MBGroup::MBGroup;
};

class CoilEnronMBGroup : public EnronMBGroup { public: CoilEnronMBGroup() : EnronMBGroup(0) {} };
class ShortEnronMBGroup : public EnronMBGroup { public: ShortEnronMBGroup() : EnronMBGroup(1) {} };
class LongEnronMBGroup : public EnronMBGroup { public: LongEnronMBGroup() : EnronMBGroup(2) {} };
class FloatEnronMBGroup : public EnronMBGroup { public: FloatEnronMBGroup() : EnronMBGroup(3) {} };
class ArchiveEnronMBGroup : public EnronMBGroup { public: ArchiveEnronMBGroup() : EnronMBGroup(4) {} };
class OutputStatusModicon16MBGroup : public Modicon16MBGroup { public: OutputStatusModicon16MBGroup() : Modicon16MBGroup(5) {} };
class InputStatusModicon16MBGroup : public Modicon16MBGroup { public: InputStatusModicon16MBGroup() : Modicon16MBGroup(6) {} };
class InputRegisterModicon16MBGroup : public Modicon16MBGroup { public: InputRegisterModicon16MBGroup() : Modicon16MBGroup(7) {} };
class OutputHoldingRegisterModicon16MBGroup : public Modicon16MBGroup { public: OutputHoldingRegisterModicon16MBGroup() : Modicon16MBGroup(8) {} };
class OutputStatusModicon32MBGroup : public Modicon32MBGroup { public: OutputStatusModicon32MBGroup() : Modicon32MBGroup(9) {} };
class InputStatusModicon32MBGroup : public Modicon32MBGroup { public: InputStatusModicon32MBGroup() : Modicon32MBGroup(10) {} };
class ShortInputRegisterModicon32MBSubgroup : public Modicon32MBSubgroup { public: ShortInputRegisterModicon32MBSubgroup() : Modicon32MBSubgroup(11) {} };
class LongInputRegisterModicon32MBSubgroup : public Modicon32MBSubgroup { public: LongInputRegisterModicon32MBSubgroup() : Modicon32MBSubgroup(12) {} };
class FloatInputRegisterModicon32MBSubgroup : public Modicon32MBSubgroup { public: FloatInputRegisterModicon32MBSubgroup() : Modicon32MBSubgroup(13) {} };
class ShortOutputHoldingRegisterModicon32MBSubgroup : public Modicon32MBSubgroup { public: ShortOutputHoldingRegisterModicon32MBSubgroup() : Modicon32MBSubgroup(14) {} };
class LongOutputHoldingRegisterModicon32MBSubgroup : public Modicon32MBSubgroup { public: LongOutputHoldingRegisterModicon32MBSubgroup() : Modicon32MBSubgroup(15) {} };
class FloatOutputHoldingRegisterModicon32MBSubgroup : public Modicon32MBSubgroup { public: FloatOutputHoldingRegisterModicon32MBSubgroup() : Modicon32MBSubgroup(16) {} };

// A MODICON32 register group made of three subgroups (Short, Long, Float).
class IExtendedGroup {
public:
    virtual ~IExtendedGroup() = default;
    virtual int SubgroupCount() const = 0;
    virtual MBGroup* Subgroup(int i) = 0;   // 0 Short, 1 Long, 2 Float
};

class ExtendedModicon32MBGroup : public Modicon32MBGroup, public IExtendedGroup {
public:
    MBGroup* FindByKind(int kind) override;
    void FillAdapter(ModmapAdapter& adapter) const override;
    void TakeUnitEntry(DatabasePoint* point, const ModmapEntry& entry) override;
    int EntryCount() const override;
    void Clear() override;
    int HeaderPair() const override { return headerPair_; }

    int SubgroupCount() const override { return 3; }
    MBGroup* Subgroup(int i) override { return subgroups_.at(static_cast<size_t>(i)).get(); }
    // The first subgroup starts at the group's start register, each later one after the
    // registers of the one before.
    void UpdateSubgroupStarts();

protected:
    ExtendedModicon32MBGroup(int startRegister, int headerPair, std::unique_ptr<MBGroup> shortGroup,
                             std::unique_ptr<MBGroup> longGroup, std::unique_ptr<MBGroup> floatGroup);

private:
    std::vector<std::unique_ptr<MBGroup>> subgroups_;
    int headerPair_;
};

class InputRegisterExtModicon32MBGroup : public ExtendedModicon32MBGroup {
public:
    InputRegisterExtModicon32MBGroup();
};
class OutputHoldingRegisterExtModicon32MBGroup : public ExtendedModicon32MBGroup {
public:
    OutputHoldingRegisterExtModicon32MBGroup();
};

// The groups of one layout, in their fixed order.
class MBGroupCollection {
public:
    virtual void FillAdapter(ModmapAdapter& adapter) const;
    virtual ~MBGroupCollection() = default;
    // Places the entries read for each group's header run (entries[g] for group g).
    virtual void LoadEntries(const std::vector<std::vector<std::pair<DatabasePoint*, ModmapEntry>>>& entries);
    // Sends header and entries to the unit (the adapter holds the entries in group order)
    // and returns the header that the unit now holds.
    virtual ModbusHeader WriteToUnit(CommDBPointFacade& facade, const ModmapAdapter& adapter);
    virtual void Clear();

    uint8_t Mode() const { return mode_; }
    int GroupCount() const { return static_cast<int>(groups_.size()); }
    MBGroup* Group(int g) { return groups_.at(static_cast<size_t>(g)).get(); }
    // The first group that answers for the kind; nullptr when the layout has none.
    MBGroup* FindByKind(int kind);
    int EntryCount() const;
    // The header for the groups as they stand: runs in group order.
    ModbusHeader BuildHeader() const;

protected:
    explicit MBGroupCollection(uint8_t mode) : mode_(mode) {}
    void SendEntries(CommDBPointFacade& facade, const ModmapAdapter& adapter) const;

    std::vector<std::unique_ptr<MBGroup>> groups_;
    uint8_t mode_;
};

class EnronMBGroupCollection : public MBGroupCollection {
public:
    EnronMBGroupCollection();
};
class Modicon16MBGroupCollection : public MBGroupCollection {
public:
    Modicon16MBGroupCollection();
};
class Modicon32MBGroupCollection : public MBGroupCollection {
public:
    Modicon32MBGroupCollection();
    ModbusHeader WriteToUnit(CommDBPointFacade& facade, const ModmapAdapter& adapter) override;
};

class ModbusList : public MBPublisher {
public:
    // lookup finds the database's point of a DbId; facade carries the transfers (nullptr:
    // the process-wide facade). Takes the adapter singleton.
    ModbusList(uint8_t mode, MBPointLookup lookup, CommDBPointFacade* facade = nullptr);
    // Also ends the adapter singleton.
    ~ModbusList() override;

    // Replaces the groups by the empty groups of the layout. A mode outside 0..2 is refused
    // (false, nothing changed).
    bool SetMode(uint8_t mode);
    uint8_t Mode() const { return collection_->Mode(); }

    // Reads the unit's header and entries and replaces the map with them, then notifies
    // (0, 1, "loadFromUnit", 0). Exchange failures are thrown as int and leave the map as it
    // was; so do a header with a mode outside 0..2 or counts above 100 (thrown as 2) and an
    // entry reply for another index (thrown as 20).
    void LoadFromUnit();
    // Sends the map to the unit; failures are thrown as int and stop the write there.
    void WriteToUnit();

    // The list file: 0 loaded, 3 not loaded: missing, unreadable or not a list file (the map
    // is unchanged; the adapter's LastError says why). No notice.
    int LoadFromFile(const QString& fileName);
    // 0 written, 1 not written.
    int SaveToFile(const QString& fileName);

    // Restore from the configuration file: SetHeader, then LoadFromImage with the image
    // whose entries are taken by the stored runs. Refused (false, nothing changed) for a
    // mode outside 0..2 or runs counting more than 100 entries.
    void SetHeader(uint8_t mode, const ModbusRun (&runs)[4]);
    bool LoadFromImage(const ModmapImage& image);

    // Clears the adapter, then writes every group's entries into it.
    void FillAdapter();
    // Groups from the adapter's entries.
    void Rebuild();

    // Appends the point to the group of the kind; its offset, or -1 when the layout has no
    // such group or the map already holds 100 entries.
    int AddPoint(DatabasePoint* point, int kind);
    // Within one group source is a position; between groups it is the offset of the
    // register that moves. False when nothing moved.
    bool MoveEntry(int fromKind, int source, int toKind, int position);
    // Removes the register with the offset; false when no register has it.
    bool DeleteEntry(int kind, int offset);

    // Attaches to the list and to every group.
    void Attach(IMBObserver* observer) override;
    void Detach(IMBObserver* observer) override;

    // Empties every group and the adapter.
    void Clear();

    // The mode and the four runs as the map holds them now.
    void CopyHeader(ModbusHeader& destination) const;
    // The adapter's image.
    void CopyImage(ModmapImage& destination) const;

    MBGroupCollection& Groups() { return *collection_; }
    ModmapAdapter& Adapter() { return *adapter_; }
    int EntryCount() const { return collection_->EntryCount(); }

private:
    CommDBPointFacade& Facade() const;
    static std::unique_ptr<MBGroupCollection> MakeCollection(uint8_t mode);
    void AttachObserversToGroups();
    void LoadFromAdapterRuns();

    ModbusHeader header_;
    std::unique_ptr<MBGroupCollection> collection_;
    ModmapAdapter* adapter_;
    MBPointLookup lookup_;
    CommDBPointFacade* facade_;
    std::vector<IMBObserver*> observers_;   // those attached through the list, for new groups
};
