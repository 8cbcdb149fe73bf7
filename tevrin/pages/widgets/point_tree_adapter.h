#pragma once
// Fills a page's tree of catalogue points that a list may hold: the Modbus map page offers the
// points that may be mapped to Modbus, the log setup window those that may be logged. The
// points hang under fixed group nodes below one root; the user drags them into the list.
//
// Every node carries a number in kDataRole: a point node its catalogue row, the root and the
// group nodes -1; and an image index in kImageRole: 0 for a point node, 1 for the root and
// the group nodes.
#include "tevrin/rtdb/catalogue/catalogue_rows.h"

#include <QString>
#include <QTreeWidgetItem>
#include <Qt>

class QTreeWidget;

class PointTreeAdapter {
public:
    static constexpr const char* kRootCaption = "Avaiable Points";
    static constexpr const char* kModbusListName = "ModbusUsePoint.xml";   // catalogue flag 0x02
    static constexpr const char* kLogListName = "LogUsePoint.xml";         // catalogue flag 0x01
    static constexpr int kDataRole = Qt::UserRole;
    static constexpr int kImageRole = Qt::UserRole + 1;
    static constexpr int kPointNode = 1;
    static constexpr int kGroupNode = 2;

    // The tree to fill (not owned) and the name of the list file the page works with; the
    // name only selects the points, no file is read. rows/rowCount: the catalogue table,
    // the built-in one by default.
    PointTreeAdapter(QTreeWidget* tree, const QString& listFileName, const QString& rootCaption = kRootCaption,
                     const rosetta::CatalogueRow* rows = rosetta::kCatalogueRows,
                     int rowCount = rosetta::kCatalogueRowCount);
    virtual ~PointTreeAdapter() = default;

    // A child of parent, or a top-level node when parent is null, with the text and data;
    // kind kPointNode gets image 0, kind kGroupNode image 1.
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& text, int kind, int data);
    // A point node for the catalogue row: its name, or "unknown point " and its DbId when the
    // name is empty.
    virtual QTreeWidgetItem* AddPoint(QTreeWidgetItem* parent, int row);

    // Adds the root with its group nodes and every point the list may hold, drops the groups
    // that stayed empty, and returns the root. A list-file name that is neither of the two
    // offers nothing: the root stays alone.
    QTreeWidgetItem* Build();

    // What the pages call: fills tree with the points for listFileName under rootCaption.
    static QTreeWidgetItem* Build(QTreeWidget* tree, const QString& rootCaption, const QString& listFileName);

    // The caption of the group node a catalogue group code goes under; empty for the codes
    // that are not offered (streams 2 to 4, the unused group).
    static QString GroupCaptionOf(uint8_t groupCode);

private:
    bool Offers(const rosetta::CatalogueRow& row) const;

    QTreeWidget* tree_;
    QString listFileName_;
    QString rootCaption_;
    const rosetta::CatalogueRow* rows_;
    int rowCount_;
};
