#include "app/operations/Controller.h"

#include "app/operations/AppTermination.h"
#include "app/operations/Job.h"
#include "app/platform/Authenticator.h"
#include "app/session/Preferences.h"
#include "app/session/SessionDisk.h"
#include "app/texts/Fmt.h"
#include "shared/DecodingError.h"
#include "shared/Paths.h"
#include "shared/Problem.h"

#include <nlohmann/json.hpp>

#include <QLocale>
#include <QPointer>
#include <QRegularExpression>
#include <QTime>
#include <QtConcurrent>

#include <csignal>

namespace {

const QString scanningStatus = QStringLiteral("Scanning readable files on the selected disk…");
const QString cancelledStatus = QStringLiteral("Scan cancelled. No files were deleted.");

QString grouped(int64_t number)
{
    return QLocale().toString(static_cast<qlonglong>(number));
}

// The locale's time with seconds and without the time zone.
QString mediumTime(const QTime& time)
{
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b\\s*")));
    return QLocale().toString(time, format.trimmed());
}

QString actionFor(const QString& operation)
{
    if (operation == QLatin1String("scan"))
        return QStringLiteral("Scan could not finish");
    if (operation == QLatin1String("verify"))
        return QStringLiteral("Disk verification could not finish");
    if (operation == QLatin1String("delete"))
        return QStringLiteral("Deletion could not finish");
    return QStringLiteral("Operation could not finish");
}

QString statusFor(const QString& operation)
{
    if (operation == QLatin1String("scan"))
        return scanningStatus;
    if (operation == QLatin1String("verify"))
        return QStringLiteral("Disk Utility is verifying the selected local volume…");
    return QStringLiteral("Deleting the confirmed files…");
}

template <typename Record>
Record decode(const QByteArray& bytes)
{
    try {
        return Wire::parse(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))).get<Record>();
    } catch (const nlohmann::json::exception& error) {
        throw DecodingError(error.what());
    }
}

QString change(uint64_t before, uint64_t after)
{
    if (after >= before)
        return QStringLiteral("+") + fmt(static_cast<int64_t>(after - before));
    return QStringLiteral("−") + fmt(static_cast<int64_t>(before - after));
}

}

Controller::Controller(QString worker, Authenticator& authenticator, AppTermination& application, QObject* parent)
    : QObject(parent), workerPath_(std::move(worker)), authenticator_(authenticator), application_(application)
{
    const auto scope = SessionDisk::current();
    readOnly_ = scope && scope->readOnly();
}

Controller::~Controller()
{
    if (scanning_ && worker_ && worker_->running()) {
        worker_->signal(SIGTERM);
        worker_->signal(SIGCONT);
    }
    running_.waitForFinished();
}

std::vector<Row> Controller::selected() const
{
    std::vector<Row> rows;
    if (data_)
        for (const Row& row : data_->rows)
            if (selection_.count(row.raw))
                rows.push_back(row);
    return rows;
}

void Controller::setFailure(std::optional<OperationFailure> failure)
{
    failure_ = std::move(failure);
    emit changed();
}

void Controller::setReview(bool review)
{
    review_ = review;
    emit changed();
}

void Controller::setGroup(const QString& group)
{
    group_ = group;
    emit rowsChanged();
    emit changed();
}

void Controller::setOnlyPersonal(bool onlyPersonal)
{
    onlyPersonal_ = onlyPersonal;
    emit rowsChanged();
    emit changed();
}

void Controller::setQuitAfterScan(bool quit)
{
    quitAfterScan_ = quit;
    emit changed();
}

void Controller::setTerminateReplyPending(bool pending)
{
    terminateReplyPending_ = pending;
}

bool Controller::mayRun(const QString& operation) const
{
    if (busy_ || authenticating_ || (readOnly_ && operation != QLatin1String("scan")))
        return false;
    if (operation != QLatin1String("delete"))
        return true;
    return data_ && !data_->report.empty() && !selected().empty() && !blocked_;
}

void Controller::run(const QString& operation)
{
    if (!mayRun(operation))
        return;
    RunInputs inputs {operation, selected(), {}, data_ ? data_->report : std::string()};
    for (const Row& row : inputs.rows)
        if (approved_.count(row.raw))
            inputs.approved.push_back(row.raw);
    percent_ = operation == QLatin1String("scan") ? std::optional(0) : std::nullopt;
    lastTick_.reset();
    if (operation == QLatin1String("verify")) {
        gateBeforeVerify_ = {blocked_, SessionDisk::trashBlocked()};
        SessionDisk::setTrashBlocked(true);
    }
    busy_ = true;
    review_ = false;
    scanning_ = operation == QLatin1String("scan");
    paused_ = false;
    stopping_ = false;
    worker_.reset();
    setStatus(statusFor(operation));
    startJob(std::move(inputs));
}

std::optional<QByteArray> Controller::requestFor(const RunInputs& inputs) const
{
    if (inputs.operation != QLatin1String("delete"))
        return std::nullopt;
    const Deletion deletion {inputs.report, inputs.rows, inputs.approved};
    return QByteArray::fromStdString(Wire::serialize(deletion));
}

void Controller::startJob(RunInputs inputs)
{
    const std::optional<QByteArray> request = requestFor(inputs);
    const bool isScan = scanning_;
    running_ = QtConcurrent::run([this, inputs = std::move(inputs), request, isScan] {
        const auto onProgress = [this](const Tick& tick) {
            QMetaObject::invokeMethod(this, [this, tick] { progress(tick); }, Qt::QueuedConnection);
        };
        const auto onLaunch = [this, isScan](std::shared_ptr<WorkerProcess> process) {
            if (isScan)
                QMetaObject::invokeMethod(this, [this, process] { workerLaunched(process); }, Qt::QueuedConnection);
        };
        std::optional<DeletionReport> report;
        if (inputs.operation == QLatin1String("delete"))
            report.emplace(inputs.report);
        std::optional<QByteArray> result;
        QString error;
        try {
            result = job(workerPath_, inputs.operation, request, onProgress, onLaunch);
        } catch (const Problem& problem) {
            error = QString::fromStdString(problem.description());
        } catch (const std::exception& unexpected) {
            error = QString::fromUtf8(unexpected.what());
        }
        // A deletion that ended without its answer is told by the lines it left in the report.
        DeletionReport::Outcome interrupted;
        const auto scope = SessionDisk::current();
        if (!result && report && scope)
            interrupted = report->outcome(inputs.rows, *scope);
        QMetaObject::invokeMethod(
            this, [this, inputs, result, error, interrupted] { finish(inputs, result, error, interrupted); },
            Qt::QueuedConnection);
    });
}

void Controller::workerLaunched(std::shared_ptr<WorkerProcess> process)
{
    if (!busy_ || !scanning_)
        return;
    worker_ = std::move(process);
    emit changed();
    if (quitAfterScan_)
        cancelScan();
}

void Controller::finish(const RunInputs& inputs, const std::optional<QByteArray>& result, const QString& error,
                        const DeletionReport::Outcome& interrupted)
{
    if (result)
        applyResult(inputs, *result);
    else if (!interrupted.lines.empty())
        applyInterruptedDeletion(inputs, interrupted, error);
    else
        applyFailure(inputs.operation, error);
    closeRun();
}

void Controller::applyResult(const RunInputs& inputs, const QByteArray& result)
{
    try {
        if (inputs.operation == QLatin1String("scan"))
            applyScan(decode<Scan>(result));
        else if (inputs.operation == QLatin1String("verify"))
            applyVerification(decode<Verification>(result));
        else
            applyDeletion(inputs, decode<ResultInfo>(result));
    } catch (const Problem& problem) {
        applyFailure(inputs.operation, QString::fromStdString(problem.description()));
    }
}

void Controller::applyScan(const Scan& scan)
{
    percent_ = 100;
    approved_.clear();
    removed_.clear();
    data_ = scan;
    usage_ = scan.usage;
    report_ = scan.report.empty() ? std::nullopt : std::optional(QString::fromStdString(scan.report));
    selection_.clear();
    status_ = QStringLiteral("Scanned ") + grouped(scan.count) + QStringLiteral(" file entries. Skipped ")
              + grouped(scan.errors) + QStringLiteral(" inaccessible or vanished entries.");
}

void Controller::applyVerification(const Verification& verification)
{
    report_ = QString::fromStdString(verification.report);
    const QString summary = QString::fromStdString(verification.summary);
    if (!verification.checked) {
        // Nothing was checked, so the gate stays as it was before this run.
        blocked_ = gateBeforeVerify_.blocked;
        SessionDisk::setTrashBlocked(gateBeforeVerify_.trashBlocked);
        status_ = summary;
        return;
    }
    blocked_ = !verification.ok;
    SessionDisk::setTrashBlocked(!verification.ok);
    if (verification.ok) {
        status_ = QStringLiteral("Volume verification passed.");
        if (!summary.isEmpty())
            status_ += " " + summary;
        return;
    }
    if (!summary.isEmpty())
        log(summary);
    status_ = QStringLiteral("Verification did not pass. Deletion is disabled. See the report.");
    failure_ = OperationFailure(QStringLiteral("Disk verification did not pass"), status_);
}

void Controller::applyDeletion(const RunInputs& inputs, const ResultInfo& info)
{
    for (const std::string& message : info.messages)
        log(QString::fromStdString(message));
    usage_ = info.after;
    removed_.insert(info.removed.begin(), info.removed.end());
    approved_.clear();
    selection_.clear();
    report_ = QString::fromStdString(inputs.report);
    status_ = QStringLiteral("Deleted %1 of %2. Available: %3 → %4 (%5). Scan again to refresh.")
                  .arg(info.deleted)
                  .arg(inputs.rows.size())
                  .arg(fmt(static_cast<int64_t>(info.before.free)), fmt(static_cast<int64_t>(info.after.free)),
                       change(info.before.free, info.after.free));
    if (!info.reportIncomplete.empty()) {
        const QString incomplete = QStringLiteral("The scan report is incomplete: ")
                                   + QString::fromStdString(info.reportIncomplete);
        log(incomplete);
        failure_ = OperationFailure(actionFor(QStringLiteral("delete")),
                                    incomplete + "\nSee Scan Log for the full result.");
        return;
    }
    for (const std::string& message : info.messages) {
        if (message.starts_with(ResultInfo::skippedPrefix)) {
            failure_ = OperationFailure(QStringLiteral("Some files could not be deleted"),
                                        QString::fromStdString(message) + "\nSee Scan Log for the full result.");
            break;
        }
    }
}

void Controller::applyInterruptedDeletion(const RunInputs& inputs, const DeletionReport::Outcome& outcome,
                                          const QString& description)
{
    for (const std::string& line : outcome.lines)
        log(QString::fromStdString(line));
    for (const std::string& raw : outcome.removed) {
        removed_.insert(raw);
        selection_.erase(raw);
        approved_.erase(raw);
    }
    report_ = QString::fromStdString(inputs.report);
    applyFailure(inputs.operation, description
                                       + QStringLiteral(" Deleted %1 of %2 before it stopped. Scan again to refresh.")
                                             .arg(outcome.removed.size())
                                             .arg(inputs.rows.size()));
}

void Controller::applyFailure(const QString& operation, const QString& description)
{
    percent_.reset();
    status_ = stopping_ ? cancelledStatus : QStringLiteral("Couldn’t complete the operation: ") + description;
    if (operation == QLatin1String("verify"))
        blocked_ = true;
    if (!stopping_)
        failure_ = OperationFailure(actionFor(operation), description);
}

void Controller::closeRun()
{
    log(status_);
    if (!stopping_ && report_)
        log(QStringLiteral("Report: ") + *report_);
    busy_ = false;
    scanning_ = false;
    worker_.reset();
    stopping_ = false;
    paused_ = false;
    emit rowsChanged();
    emit changed();
    if (terminateReplyPending_)
        application_.replyToApplicationShouldTerminate(true);
    else if (quitAfterScan_)
        application_.terminate();
}

void Controller::progress(const Tick& tick)
{
    if (!scanning_ || tick == lastTick_)
        return;
    lastTick_ = tick;
    percent_ = static_cast<int>(tick.percent);
    emit progressed();
    log(QStringLiteral("Scanning ") + QString::fromStdString(tick.folder) + QStringLiteral("  •  ")
        + grouped(tick.entries) + QStringLiteral(" entries checked, ") + grouped(tick.errors) + QStringLiteral(" skipped"));
}

void Controller::cancelScan()
{
    if (!scanning_ || stopping_ || !worker_ || !worker_->running())
        return;
    stopping_ = true;
    worker_->signal(SIGTERM);
    if (paused_)
        worker_->signal(SIGCONT);
    paused_ = false;
    setStatus(QStringLiteral("Cancelling scan…"));
}

void Controller::togglePause()
{
    if (!scanning_ || stopping_ || !worker_ || !worker_->running())
        return;
    if (!worker_->signal(paused_ ? SIGCONT : SIGSTOP))
        return;
    paused_ = !paused_;
    setStatus(paused_ ? QStringLiteral("Scan paused. Resume to continue from this point.") : scanningStatus);
}

void Controller::setReadOnly(bool readOnly)
{
    auto scope = SessionDisk::current();
    if (!scope || readOnly == readOnly_ || busy_ || authenticating_)
        return;
    scope->setReadOnly(readOnly);
    SessionDisk::setCurrent(*scope);
    readOnly_ = readOnly;
    Preferences::setReadOnlyMode(readOnly);
    review_ = false;
    selection_.clear();
    approved_.clear();
    if (readOnly)
        status_ = QStringLiteral("Read-Only Mode. Scan results stay in this window.");
    else if (data_ && data_->report.empty())
        status_ = QStringLiteral("Active Mode. Scan again to enable file selection.");
    else
        status_ = QStringLiteral("Active Mode.");
    emit rowsChanged();
    emit changed();
}

void Controller::toggle(const Row& row)
{
    if (readOnly_ || !data_ || data_->report.empty() || removed_.count(row.raw) || busy_ || blocked_ || authenticating_)
        return;
    if (selection_.count(row.raw)) {
        selection_.erase(row.raw);
        approved_.erase(row.raw);
        emit rowsChanged();
        emit changed();
    } else if (row.allowed) {
        selection_.insert(row.raw);
        emit rowsChanged();
        emit changed();
    } else if (row.unlockable) {
        unlock(row);
    } else {
        status_ = QStringLiteral("Report only. This file cannot be unlocked here because of its location, ownership, flags, or folder permissions.");
        log(status_ + QLatin1Char(' ') + QString::fromStdString(row.path));
        emit changed();
    }
}

void Controller::unlock(const Row& row)
{
    QString unavailable;
    if (!authenticator_.canEvaluate(unavailable)) {
        status_ = unavailable.isEmpty() ? QStringLiteral("Mac authentication unavailable.") : unavailable;
        emit changed();
        return;
    }
    authenticating_ = true;
    status_ = QStringLiteral("Waiting for Mac authentication…");
    log(QStringLiteral("Requesting Mac authentication for ") + QString::fromStdString(row.path));
    emit changed();
    const QString name = QString::fromStdString(std::string(Paths::lastComponent(row.path)));
    const QPointer<Controller> self(this);
    authenticator_.evaluate(
        QStringLiteral("Unlock ") + name + QStringLiteral(" for selection in tallyroom. Deletion requires a separate confirmation."),
        [self, row](std::optional<QString> failure) {
            if (self)
                self->authenticationEnded(row, failure);
        });
}

void Controller::authenticationEnded(const Row& row, const std::optional<QString>& failure)
{
    authenticating_ = false;
    if (failure) {
        status_ = QStringLiteral("File remains locked: ") + *failure;
        emit changed();
        return;
    }
    const bool stillSame = !busy_ && data_
                           && std::any_of(data_->rows.begin(), data_->rows.end(), [&](const Row& current) {
                                  return current.raw == row.raw && current.signature == row.signature;
                              });
    if (stillSame) {
        approved_.insert(row.raw);
        selection_.insert(row.raw);
        status_ = QStringLiteral("Unlocked and selected. Review the selection before deleting.");
        log(QStringLiteral("Unlocked for this selection: ") + QString::fromStdString(row.path));
    }
    emit rowsChanged();
    emit changed();
}

void Controller::setStatus(const QString& status)
{
    status_ = status;
    log(status_);
    emit changed();
}

void Controller::log(const QString& line)
{
    lines_.append(mediumTime(QTime::currentTime()) + QStringLiteral("  ") + line);
    while (lines_.size() > logLimit)
        lines_.removeFirst();
    emit lineLogged(lines_.last());
}
