#pragma once
// Thread base class: derive, override Execute(), and start it with TThread::Create<T>(args...).
// The thread starts at once, detached; it owns its object and frees it when Execute returns.
// An exception leaving Execute goes to the application's exception handler.
#include <memory>
#include <utility>

namespace lexmora {

class TThread {
 public:
  virtual ~TThread() = default;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  template <typename T, typename... Args>
  static void Create(Args&&... args) {
    Start(std::unique_ptr<TThread>(new T(std::forward<Args>(args)...)));
  }

 protected:
  TThread() = default;
  virtual void Execute() = 0;

 private:
  static void Start(std::unique_ptr<TThread> thread);
};

}  // namespace lexmora
