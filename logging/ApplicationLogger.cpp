#include "logging/ApplicationLogger.h"

#include <exception>

#include "common/Exceptions.h"
#include "logging/Diagnostic.h"

namespace orvane {
namespace {

std::mutex gCreationLock;
std::atomic<TApplicationLogger*> gInstance{nullptr};
thread_local bool gCreating = false;

}  // namespace

// --- TAppLoggerThread -------------------------------------------------------------------------

TAppLoggerThread::TAppLoggerThread(TApplicationLogger* owner) : Owner(owner) {
  thread_ = std::thread([this] { Execute(); });
}

TAppLoggerThread::~TAppLoggerThread() { Stop(); }

void TAppLoggerThread::Enqueue(const std::string& message, uint8_t level, int32_t specific) {
  TLogRecord record{level, specific, message};
  bool wake;
  {
    std::lock_guard<std::mutex> lock(QueueLock);
    // Nothing takes records once the thread has ended: release them at once.
    if (ended_) return;
    Queue.push_back(std::move(record));
    ++queued_;
    wakeSignalled_ = true;
    wake = waiting_;
  }
  if (wake) WakeEvent.notify_one();
}

bool TAppLoggerThread::WaitWritten(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(QueueLock);
  const uint64_t target = queued_;
  ++writtenWaiters_;
  writtenEvent_.wait_for(lock, limit, [&] { return written_ >= target || ended_; });
  --writtenWaiters_;
  return written_ >= target;
}

void TAppLoggerThread::Stop() {
  {
    std::lock_guard<std::mutex> lock(QueueLock);
    terminated_ = true;
    wakeSignalled_ = true;
  }
  WakeEvent.notify_one();
  if (thread_.joinable()) thread_.join();
}

std::string TAppLoggerThread::LastError() const {
  std::lock_guard<std::mutex> lock(QueueLock);
  return LastError_;
}

bool TAppLoggerThread::EndedForTesting() const {
  std::lock_guard<std::mutex> lock(QueueLock);
  return ended_;
}

void TAppLoggerThread::WriteRecord(const TLogRecord& record) {
  for (int i = 0; i < Owner->LoggerCount(); ++i) Owner->GetLogger(i)->Log(record.Message, record.Level, record.Specific);
}

void TAppLoggerThread::Body(std::string& stepMark, std::vector<TLogRecord>& batch) {
  while (!terminated_) {
    stepMark = "A";
    {
      std::unique_lock<std::mutex> lock(QueueLock);
      waiting_ = true;
      WakeEvent.wait(lock, [&] { return wakeSignalled_; });
      waiting_ = false;
      wakeSignalled_ = false;
    }
    stepMark = "B";
    for (;;) {
      stepMark = "C";
      batch.clear();
      {
        std::lock_guard<std::mutex> lock(QueueLock);
        stepMark = "D";
        // The whole queue at once: the records keep their order and the callers meet the lock
        // once per pass instead of once per record.
        if (!Queue.empty()) {
          stepMark = "E";
          batch.swap(Queue);
        }
      }
      if (batch.empty()) break;
      stepMark = "F";
      uint64_t done = 0;
      for (const TLogRecord& record : batch) {
        if (terminated_) break;
        WriteRecord(record);
        ++done;
      }
      {
        std::lock_guard<std::mutex> lock(QueueLock);
        written_ += done;
        if (writtenWaiters_ > 0) writtenEvent_.notify_all();
      }
      if (terminated_) break;
    }
  }
}

void TAppLoggerThread::Execute() {
  std::string stepMark = "Initialisation";
  std::vector<TLogRecord> batch;
  std::string failure;
  try {
    Body(stepMark, batch);
    stepMark = "Fin";
  } catch (const Exception& e) {
    failure = std::string("TAppLoggerThread Exception in Execute.") + stepMark + "(" + e.ClassName() + "):" + e.Message();
  } catch (const std::exception& e) {
    failure = "TAppLoggerThread Exception in Execute." + stepMark + "(Exception):" + e.what();
  } catch (...) {
    failure = "TAppLoggerThread Exception in Execute." + stepMark + "(Exception):";
  }
  if (!failure.empty()) WriteDiagnostic(failure);
  {
    std::lock_guard<std::mutex> lock(QueueLock);
    ended_ = true;
    LastError_ = failure;
    std::vector<TLogRecord>().swap(Queue);
    writtenEvent_.notify_all();
  }
}

size_t TAppLoggerThread::PendingCountForTesting() const {
  std::lock_guard<std::mutex> lock(QueueLock);
  return Queue.size();
}

// --- TApplicationLogger -----------------------------------------------------------------------

TApplicationLogger::TApplicationLogger() {
  if (!gCreating) throw Exception("Vous devez accéder à la classe TApplicationLogger par le biais de la fonction AppLogger");
  thread_ = std::make_unique<TAppLoggerThread>(this);
  // A failure destroys the thread and the loggers created so far with the members.
  LoadConfiguration(".\\AppLogger.xml");
}

TApplicationLogger::~TApplicationLogger() {
  thread_.reset();
  ClearLoggers();
}

void TApplicationLogger::Log(const std::string& message, uint8_t level, int32_t specific) {
  thread_->Enqueue(message, level, specific);
}

void TApplicationLogger::AddLogger(TLogger* logger) {
  if (!logger) return;
  for (const auto& existing : Loggers)
    if (existing.get() == logger) return;
  Loggers.emplace_back(logger);
}

TLogger* TApplicationLogger::GetLogger(int index) const {
  if (index < 0 || index >= LoggerCount()) return nullptr;
  return Loggers[static_cast<size_t>(index)].get();
}

void TApplicationLogger::RemoveLoggerForTesting(TLogger* logger) {
  std::erase_if(Loggers, [logger](const std::unique_ptr<TLogger>& each) { return each.get() == logger; });
}

void TApplicationLogger::ClearLoggers() {
  for (auto& logger : Loggers) logger.reset();
  Loggers.clear();
}

TApplicationLogger& AppLogger() {
  if (TApplicationLogger* instance = gInstance.load(std::memory_order_acquire)) return *instance;
  std::lock_guard<std::mutex> lock(gCreationLock);
  if (TApplicationLogger* instance = gInstance.load(std::memory_order_acquire)) return *instance;
  gCreating = true;
  std::unique_ptr<TApplicationLogger> created;
  try {
    created = std::make_unique<TApplicationLogger>();
  } catch (...) {
    gCreating = false;
    throw;
  }
  gCreating = false;
  gInstance.store(created.get(), std::memory_order_release);
  return *created.release();
}

void ReleaseAppLogger() {
  std::lock_guard<std::mutex> lock(gCreationLock);
  TApplicationLogger* instance = gInstance.exchange(nullptr);
  if (!instance) return;
  // The lines logged just before an exit must reach the files, but the end never hangs on them.
  instance->Thread().WaitWritten(std::chrono::seconds(2));
  delete instance;
}

bool WaitAppLoggerWrittenForTesting(std::chrono::milliseconds limit) {
  std::lock_guard<std::mutex> lock(gCreationLock);
  TApplicationLogger* instance = gInstance.load(std::memory_order_acquire);
  return instance == nullptr || instance->Thread().WaitWritten(limit);
}

}  // namespace orvane
