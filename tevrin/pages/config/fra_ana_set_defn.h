#pragma once
// One analysis set: the settings of one run kind of one stream. The Stream page makes one for
// each set tab of each stream and binds its controls from the stream's table of points; the
// set's "Time" box shows on its stream frame's tab (WM_STREAMTABIMAGE to the enclosing frame).
#include "tevrin/pages/config/stream_sets.h"

#include <QFrame>

#include <vector>

class QGroupBox;
class QPushButton;
class QWidget;
class TAOSourceCombo;
class TQCheckBox;
class TQComboBox;
class TQEdit;
class TQLabeledEdit;

class TfraAnaSetDefn : public QFrame {
    Q_OBJECT
public:
    // The set of run kind `kind` (1, 3, 4, 5 or 6) of stream `stream` (1..4) on tab `tabIndex`.
    TfraAnaSetDefn(QWidget* parent, int stream, int kind, int tabIndex);

    int Stream() const { return stream_; }
    int Kind() const { return kind_; }
    int TabIndex() const { return tabIndex_; }
    const streamsets::SetIds& Ids() const { return ids_; }

    // The DbIds of the point-carrying controls in registration order (32; hidden and unbound
    // controls included, 0 where a control carries no point).
    std::vector<int> RegisteredIds() const;

    TQLabeledEdit* ledName = nullptr;
    TQLabeledEdit* ledConsecRuns = nullptr;
    TQLabeledEdit* ledRunsToAvg = nullptr;
    TQLabeledEdit* ledCalGasConc = nullptr;
    TQCheckBox* chkTime = nullptr;
    TQComboBox* edDays = nullptr;
    TQLabeledEdit* edHours = nullptr;
    TQLabeledEdit* edMinute = nullptr;
    TQLabeledEdit* ledSampleDelay = nullptr;
    TQLabeledEdit* ledSampleInterval = nullptr;
    TQLabeledEdit* ledKFactor = nullptr;
    TQCheckBox* ckAOMgr1Enable = nullptr;
    TQCheckBox* ckAOMgr2Enable = nullptr;
    TAOSourceCombo* cbAOMgr1Function = nullptr;
    TAOSourceCombo* cbAOMgr2Function = nullptr;
    TQComboBox* cbAOMgr1Channel = nullptr;
    TQComboBox* cbAOMgr2Channel = nullptr;
    TQCheckBox* ckAlarmDevEnable = nullptr;
    TQEdit* edAlarmDevLimit = nullptr;
    TQCheckBox* ckAlarm1Enable = nullptr;
    TQEdit* edAlarm1Limit = nullptr;
    TQCheckBox* ckPAAEnable = nullptr;
    TQLabeledEdit* ledPAALimit = nullptr;
    TQLabeledEdit* duration = nullptr;
    TQCheckBox* lockAlarmEnable = nullptr;
    TQLabeledEdit* lockAlarmLimit = nullptr;
    TQComboBox* strmCalUsed = nullptr;
    QPushButton* btnRequest = nullptr;
    // Relays 1..6 then solenoids 1..8 of the switching and of each alarm's actions.
    std::vector<TQCheckBox*> switching, alarmDevActions, alarm1Actions, paaActions, lockActions;

    // Enables or disables every setting of the set; the request button is left as it is.
    void SetSettingsEditable(bool editable);

    // Every check box of the set.
    std::vector<TQCheckBox*> CheckBoxes() const;

private:
    std::vector<TQCheckBox*> BitRow(QWidget* parent, const QString& prefix, TDbId id, bool bound);
    void SendTabImage(bool timed);

    int stream_;
    int kind_;
    int tabIndex_;
    const streamsets::SetIds& ids_;
};
