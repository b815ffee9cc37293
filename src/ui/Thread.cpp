#include "ui/Thread.h"

#include <thread>

#include "ui/Application.h"

namespace lexmora {

void TThread::Start(std::unique_ptr<TThread> thread) {
  std::thread([self = std::move(thread)] {
    try {
      self->Execute();
    } catch (...) {
      Application().HandleCurrentException();
    }
  }).detach();
}

}  // namespace lexmora
