#pragma once
// The thread that moves one animated object.

#include <condition_variable>
#include <mutex>
#include <thread>

namespace vec::anim {

class AnimatedObject;

// The worker: calls the object's Step every 5 ms while resumed. Pausing waits for the
// step in progress to end, so a worker is never paused inside a lock or an allocation.
class ObjectWorker {
 public:
  explicit ObjectWorker(AnimatedObject& owner) : owner_(owner) {}
  ~ObjectWorker();
  ObjectWorker(const ObjectWorker&) = delete;
  ObjectWorker& operator=(const ObjectWorker&) = delete;

  void Resume();
  void Pause();  // returns once no step runs
  bool Running() const;

 private:
  void Run();
  AnimatedObject& owner_;
  mutable std::mutex m_;
  std::condition_variable cv_;
  bool running_ = false, busy_ = false, terminated_ = false;
  std::thread thread_;
};

}  // namespace vec::anim
