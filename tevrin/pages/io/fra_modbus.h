#pragma once
// The Modbus page (page 7): the analyzer's Modbus slave map.
#include "tevrin/pages/page_frame.h"

#include <mutex>

class QAction;
class QPushButton;
class QTreeWidget;

class TfraModbus : public TPageFrame {
    Q_OBJECT
public:
    explicit TfraModbus(QWidget* owner);
    ~TfraModbus() override;

    // While read-only "Delete Selected Item" and "New Modbus List" are disabled.
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const { return readOnly_; }

    QAction* mnuDeleteItem() const { return mnuDeleteItem_; }
    QPushButton* btnNewModbusList() const { return btnNewModbusList_; }
    QTreeWidget* tlModbus() const { return tlModbus_; }

protected:
    std::vector<int> FixedPointsBefore() const override { return {389, 20, 1630, 1631}; }
    bool RegistersBoundControls() const override { return false; }
    void OnFreePageData(TMessage& m) override;

private:
    std::mutex lock_;
    bool readOnly_ = false;
    QAction* mnuDeleteItem_ = nullptr;
    QPushButton* btnNewModbusList_ = nullptr;
    QTreeWidget* tlModbus_ = nullptr;
};
