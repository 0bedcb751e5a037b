#include "animation/ObjectWorker.h"

#include "animation/AnimatedObject.h"

namespace vec::anim {

ObjectWorker::~ObjectWorker() {
  {
    std::lock_guard lock(m_);
    terminated_ = true;
  }
  cv_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void ObjectWorker::Resume() {
  {
    std::lock_guard lock(m_);
    running_ = true;
    if (!thread_.joinable()) thread_ = std::thread(&ObjectWorker::Run, this);
  }
  cv_.notify_all();
}

void ObjectWorker::Pause() {
  std::unique_lock lock(m_);
  running_ = false;
  cv_.notify_all();
  cv_.wait(lock, [this] { return !busy_; });
}

bool ObjectWorker::Running() const {
  std::lock_guard lock(m_);
  return running_;
}

void ObjectWorker::Run() {
  std::unique_lock lock(m_);
  for (;;) {
    cv_.wait(lock, [this] { return terminated_ || running_; });
    if (terminated_) return;
    busy_ = true;
    lock.unlock();
    owner_.Step();
    lock.lock();
    busy_ = false;
    cv_.notify_all();
    cv_.wait_for(lock, std::chrono::milliseconds(kStepIntervalMs),
                 [this] { return terminated_ || !running_; });
  }
}

}  // namespace vec::anim
