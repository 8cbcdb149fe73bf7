#include "tevrin/pages/io/fra_comm_ports.h"
#include "tevrin/rtdb/database.h"

#include "brannix/qlabel.h"
#include "tevrin/pages/io/port_frame.h"

#include <QGroupBox>
#include <QGridLayout>
#include <QVBoxLayout>

namespace {

struct PortRow {
    const char* group;
    const char* caption;
    const char* frame;
    TfraPort::PortIds ids;
    bool bound;
};

// In the order the page numbers them 0..3.
const PortRow kPorts[] = {
    {"gbSerPort1", "Front Panel Serial Port (RS-232)", "fraPort1", {306, 307, 308, 309, 310}, true},
    {"gbSerPort2", "Serial Port 2 (RS-232)", "fraPort2", {311, 312, 313, 314, 315}, false},
    {"gbSerPort3", "ISO 485 Port (RS-485)", "fraPort3", {316, 317, 318, 319, 320}, true},
    {"gbSerPort4", "MODEM Port(RS-232)", "fraPort4", {321, 322, 323, 324, 325}, true},
};

}  // namespace

TfraCommPorts::TfraCommPorts(QWidget* owner) : TPageFrame(owner, 6, 0, 1)
{
    setObjectName(QStringLiteral("fraCommPorts"));
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    outer->addLayout(grid);
    outer->addStretch(1);
    for (int n = 0; n < 4; ++n) {
        const PortRow& row = kPorts[n];
        auto* group = new QGroupBox(QString::fromLatin1(row.caption), this);
        group->setObjectName(QString::fromLatin1(row.group));
        auto* layout = new QVBoxLayout(group);
        auto* port = new TfraPort(group);
        port->setObjectName(QString::fromLatin1(row.frame));
        port->SetPortNumber(n);
        port->SetPoints(row.ids, {row.bound, row.bound, row.bound, row.bound, row.bound});
        layout->addWidget(port);
        groups_[static_cast<size_t>(n)] = group;
        ports_[static_cast<size_t>(n)] = port;
    }
    // The RS-485 port's hardware offers 500 baud where the others offer 600.
    QStringList baud = TfraPort::BaudItems();
    baud[1] = QStringLiteral("500");
    ports_[2]->SetBaudItems(baud);
    grid->addWidget(groups_[0], 0, 0);
    grid->addWidget(groups_[2], 0, 1);
    grid->addWidget(groups_[3], 1, 0);
    grid->addWidget(groups_[1], 1, 1);
    groups_[1]->setEnabled(false);
    groups_[1]->setVisible(false);

    lblStream2_ = NewStreamCountLabel();
    lblStream2_->setText(QStringLiteral("Stream 2"));
    WatchStreamCount(lblStream2_, StreamCaptionRule::SingleDual);
}

TfraPort* TfraCommPorts::Port(int number) const
{
    return number >= 0 && number < 4 ? ports_[static_cast<size_t>(number)] : nullptr;
}

QGroupBox* TfraCommPorts::PortGroup(int number) const
{
    return number >= 0 && number < 4 ? groups_[static_cast<size_t>(number)] : nullptr;
}

std::vector<int> TfraCommPorts::FixedPointsBefore() const
{
    // The front panel, RS-485 and modem ports (serial port 2 is not read here), then the stream
    // count.
    std::vector<int> ids;
    for (int n : {0, 2, 3})
        for (int id : kPorts[n].ids) ids.push_back(id);
    ids.push_back(DataBase::kStreamsDbId);
    return ids;
}

void TfraCommPorts::AfterEnter()
{
    // At every entry: the RS-485 and modem ports offer only their baud rate, serial port 2
    // nothing.
    ports_[3]->LimitToBaudRate();
    ports_[2]->LimitToBaudRate();
    ports_[1]->setEnabled(false);
}
