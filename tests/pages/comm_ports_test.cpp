// The Ports page against the simulated analyzer: what it reads and shows, what it offers for
// editing, and the settings a user chooses arriving in the analyzer.
#include "brannix/qcombobox.h"
#include "brannix/qlabel.h"
#include "brannix/qradiogroup.h"
#include "tests/pages/page_point_orders.h"
#include "tests/pages/page_session.h"
#include "tevrin/pages/io/fra_comm_ports.h"
#include "tevrin/pages/io/port_frame.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/main_form.h"

#include <QGroupBox>
#include <QLabel>
#include <gtest/gtest.h>

#include <vector>

namespace {

using pagetest::PageSession;

void Choose(TQComboBox* combo, const QString& text)
{
    const int index = combo->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

class PortsPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Front panel: 2400 baud, 7 data bits, even parity, 2 stop bits, ASCII.
        for (auto [id, text] : std::vector<std::pair<int, const char*>>{
                 {306, "3"}, {307, "7"}, {308, "2"}, {309, "2"}, {310, "True"},
                 // RS-485: the second speed, and a data-bits value no item names.
                 {316, "1"}, {317, "9"}, {318, "1"}, {319, "1"}, {320, "False"},
                 // Modem: 9600 8N1.
                 {321, "5"}, {322, "8"}, {323, "0"}, {324, "1"}, {325, "False"},
                 // Serial port 2 (the sensor port): never read on this page.
                 {311, "2"}, {312, "5"}})
            session.unit.SetValueText(sim::DbId{id}, text);
        ASSERT_TRUE(session.LogOn(true)) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
        // Two streams (a logon with more than one asks to set the analyzer up as another model).
        session.unit.SetValueText(sim::DbId{20}, "1");
        page = session.Form().findChild<TfraCommPorts*>();
        ASSERT_NE(page, nullptr);
        session.Show(MainPage::Ports);
    }

    pagetest::PageSession session;
    TfraCommPorts* page = nullptr;
};

TEST_F(PortsPageTest, ReadsThreePortsAndTheStreamCountAndShowsTheirSettings)
{
    EXPECT_EQ(PageSession::RegisteredPoints(), pagetest::PointsOf(6));
    EXPECT_EQ(DataBase::Instance()->AsExpressScan().CurrentPage(), 6);
    EXPECT_EQ(pagetest::PageSession::Text(20), "1");

    TfraPort* front = page->Port(0);
    EXPECT_EQ(front->cbBaudRate()->currentText(), QStringLiteral("2400"));
    EXPECT_EQ(front->cbDataBits()->currentText(), QStringLiteral("7"));   // the number, not item 7
    EXPECT_EQ(front->cbParity()->currentText(), QStringLiteral("Even"));
    EXPECT_EQ(front->cbStopBits()->currentText(), QStringLiteral("2"));
    EXPECT_EQ(front->rgEnvelope()->ItemIndex(), 1);
    EXPECT_TRUE(front->rgEnvelope()->isHidden());

    TfraPort* rs485 = page->Port(2);
    EXPECT_EQ(rs485->cbBaudRate()->currentText(), QStringLiteral("500"));
    EXPECT_EQ(rs485->cbDataBits()->currentIndex(), -1);   // "9" names no item
    EXPECT_EQ(page->Port(3)->cbBaudRate()->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(page->Port(3)->cbDataBits()->currentText(), QStringLiteral("8"));

    // Front panel: everything; RS-485 and modem: the baud rate only; serial port 2: nothing.
    for (int n : {0, 2, 3}) {
        SCOPED_TRACE(n);
        TfraPort* port = page->Port(n);
        EXPECT_EQ(port->PortNumber(), n);
        EXPECT_TRUE(port->isEnabled() && port->cbBaudRate()->isEnabled());
        for (QWidget* w : {static_cast<QWidget*>(port->cbDataBits()), static_cast<QWidget*>(port->cbParity()),
                           static_cast<QWidget*>(port->cbStopBits()), static_cast<QWidget*>(port->rgEnvelope())})
            EXPECT_EQ(w->isEnabled(), n == 0);
    }
    EXPECT_TRUE(page->PortGroup(1)->isHidden());
    EXPECT_FALSE(page->Port(1)->isEnabled());
    EXPECT_FALSE(page->PortGroup(1)->isEnabled());
    // Its settings were not read: the frame still shows its own 19200 8N1.
    EXPECT_EQ(page->Port(1)->cbBaudRate()->currentText(), QStringLiteral("19200"));
    EXPECT_EQ(page->Port(1)->cbDataBits()->currentText(), QStringLiteral("8"));

    // The page's own stream caption rule: one and two streams are named, more leave the text.
    // (Every page's watcher hears the point, so the page's label is asked directly.)
    const struct {
        const char* value;
        const char* caption;
    } kCaptions[] = {{"1", "DUAL STREAM"}, {"3", "DUAL STREAM"}, {"0", "SINGLE STREAM"}, {"2", "SINGLE STREAM"}};
    for (const auto& c : kCaptions) {
        bool doDefault = true;
        emit page->lblStream2()->OnDBPointValueChanged(QString::fromLatin1(c.value), doDefault);
        EXPECT_FALSE(doDefault);
        EXPECT_EQ(session.Form().StreamDisp()->text(), QString::fromLatin1(c.caption)) << c.value;
    }

    // Showing the page again registers the same points afresh.
    session.Show(MainPage::Global);
    session.Show(MainPage::Ports);
    EXPECT_EQ(PageSession::RegisteredPoints().size(), 16u);
    EXPECT_FALSE(page->Port(2)->cbParity()->isEnabled());
    EXPECT_TRUE(session.prompter.prompts.empty()) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
}

TEST_F(PortsPageTest, ChosenSettingsAreWrittenAsIndexOrNumberAndAnUnshownValueIsKept)
{
    TfraPort* front = page->Port(0);
    Choose(front->cbBaudRate(), QStringLiteral("19200"));
    Choose(front->cbDataBits(), QStringLiteral("8"));
    Choose(front->cbParity(), QStringLiteral("Odd"));
    Choose(front->cbStopBits(), QStringLiteral("1"));
    front->rgEnvelope()->setItemIndex(0);
    Choose(page->Port(2)->cbBaudRate(), QStringLiteral("9600"));
    Choose(page->Port(3)->cbBaudRate(), QStringLiteral("600"));
    session.unit.ClearLog();
    session.Form().tbtnWriteClick();

    const struct {
        int id;
        const char* text;
    } kUnit[] = {
        {306, "6"}, {307, "8"}, {308, "1"}, {309, "1"}, {310, "False"},
        {316, "5"}, {317, "9"},   // the data bits the box could not show stay as they were
        {318, "1"}, {321, "1"}, {322, "8"},
        {311, "2"}, {312, "5"},   // serial port 2 is not this page's to write
    };
    for (const auto& u : kUnit) EXPECT_EQ(session.unit.ValueText(sim::DbId{u.id}), QByteArray(u.text)) << u.id;
    // The box without a value is no missing choice that stops the write.
    EXPECT_TRUE(session.prompter.prompts.empty()) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    // After the write the page reads back what the analyzer took.
    EXPECT_EQ(front->cbDataBits()->currentText(), QStringLiteral("8"));
    EXPECT_EQ(page->Port(2)->cbDataBits()->currentIndex(), -1);
}

}  // namespace
