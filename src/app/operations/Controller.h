#pragma once

#include "app/operations/DeletionReport.h"
#include "app/operations/WorkerProcess.h"
#include "app/texts/OperationFailure.h"
#include "shared/RowGroups.h"
#include "shared/Wire.h"

#include <QFuture>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class AppTermination;
class Authenticator;

// Everything the scanner shows about the selected disk, and the one place that starts
// operations on it. Lives on the main thread. Its signals are narrow, so that a progress tick
// moves only the progress and the log: changed() for the state around the list (status,
// busy, modes, failure, sheets), rowsChanged() for the list's rows and their marks,
// progressed() for the scan's percent, lineLogged() for each new log line.
class Controller : public QObject {
    Q_OBJECT

public:
    static constexpr int logLimit = 600;

    Controller(QString worker, Authenticator& authenticator, AppTermination& application, QObject* parent = nullptr);
    ~Controller() override;

    const std::optional<OperationFailure>& failure() const { return failure_; }
    bool readOnly() const { return readOnly_; }
    const std::set<std::string>& removed() const { return removed_; }
    const std::optional<Scan>& data() const { return data_; }
    const std::optional<Usage>& usage() const { return usage_; }
    const std::set<std::string>& selection() const { return selection_; }
    const QString& group() const { return group_; }
    bool busy() const { return busy_; }
    bool review() const { return review_; }
    const QString& status() const { return status_; }
    const std::optional<QString>& report() const { return report_; }
    bool blocked() const { return blocked_; }
    bool terminateReplyPending() const { return terminateReplyPending_; }
    bool quitAfterScan() const { return quitAfterScan_; }
    bool paused() const { return paused_; }
    bool stopping() const { return stopping_; }
    bool scanning() const { return scanning_; }
    const std::shared_ptr<WorkerProcess>& worker() const { return worker_; }
    bool onlyPersonal() const { return onlyPersonal_; }
    const std::set<std::string>& approved() const { return approved_; }
    bool authenticating() const { return authenticating_; }
    const std::optional<int>& percent() const { return percent_; }
    const QStringList& lines() const { return lines_; }
    Authenticator& authenticator() const { return authenticator_; }
    // The rows of the last scan that are selected, in the scan's order.
    std::vector<Row> selected() const;

    void setFailure(std::optional<OperationFailure> failure);
    void setReview(bool review);
    void setGroup(const QString& group);
    void setOnlyPersonal(bool onlyPersonal);
    void setQuitAfterScan(bool quit);
    void setTerminateReplyPending(bool pending);
    // Shows the text as the status and logs it.
    void setStatus(const QString& status);

    // Starts "scan", "verify" or "delete"; does nothing when the operation may not start now.
    void run(const QString& operation);
    void progress(const Tick& tick);
    void cancelScan();
    void togglePause();
    // Selects, deselects or unlocks a row.
    void toggle(const Row& row);
    void setReadOnly(bool readOnly);
    void log(const QString& line);

signals:
    void changed();
    void rowsChanged();
    void progressed();
    void lineLogged(const QString& line);

private:
    struct RunInputs {
        QString operation;
        std::vector<Row> rows;
        std::vector<std::string> approved;
        std::string report;
    };

    bool mayRun(const QString& operation) const;
    std::optional<QByteArray> requestFor(const RunInputs& inputs) const;
    void startJob(RunInputs inputs);
    void workerLaunched(std::shared_ptr<WorkerProcess> process);
    void finish(const RunInputs& inputs, const std::optional<QByteArray>& result, const QString& error,
                const DeletionReport::Outcome& interrupted);
    void applyResult(const RunInputs& inputs, const QByteArray& result);
    void applyScan(const Scan& scan);
    void applyVerification(const Verification& verification);
    void applyDeletion(const RunInputs& inputs, const ResultInfo& info);
    void applyInterruptedDeletion(const RunInputs& inputs, const DeletionReport::Outcome& outcome,
                                  const QString& description);
    void applyFailure(const QString& operation, const QString& description);
    void closeRun();
    void unlock(const Row& row);
    void authenticationEnded(const Row& row, const std::optional<QString>& failure);

    const QString workerPath_;
    Authenticator& authenticator_;
    AppTermination& application_;
    QFuture<void> running_;

    std::optional<OperationFailure> failure_;
    bool readOnly_ = false;
    std::set<std::string> removed_;
    std::optional<Scan> data_;
    std::optional<Usage> usage_;
    std::set<std::string> selection_;
    QString group_ = QString::fromUtf8(RowGroups::allFiles);
    bool busy_ = false;
    bool review_ = false;
    QString status_ = QStringLiteral("Scan the selected disk to find the largest files.");
    std::optional<QString> report_;
    bool blocked_ = false;
    struct Gate {
        bool blocked = false;
        bool trashBlocked = false;
    };
    Gate gateBeforeVerify_;
    bool terminateReplyPending_ = false;
    bool quitAfterScan_ = false;
    bool paused_ = false;
    bool stopping_ = false;
    bool scanning_ = false;
    std::shared_ptr<WorkerProcess> worker_;
    bool onlyPersonal_ = false;
    std::set<std::string> approved_;
    bool authenticating_ = false;
    std::optional<int> percent_;
    QStringList lines_;
    std::optional<Tick> lastTick_;
};
