#pragma once
// The application object: title, main form, the message loop and the default exception handler.
//
//   Application().Initialize();             // common controls, framework window classes
//   auto& main = Application().CreateForm<TfmMain>();   // the first form becomes the main form
//   Application().Run();                    // shows the main form; returns once it has closed
//
// Every place where Windows calls into our code catches exceptions and hands them to
// HandleException(); the default handler shows a message box captioned with Title() (through the
// base layer's reporter) and the program goes on. Tests replace it with SetExceptionHandler().
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Form.h"

namespace lexmora {

class TApplication {
 public:
  using ExceptionHandler = std::function<void(const std::exception&)>;

  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Loads the common controls, registers the framework's window classes and makes WindowInFront
  // the owner of message boxes raised without one (see MessageOwner). Safe to call again.
  void Initialize();
  HINSTANCE Instance() const noexcept { return instance_; }

  // The text of message boxes' captions; by default the executable's name without extension.
  const std::string& Title() const noexcept { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

  TForm* MainForm() const noexcept { return mainForm_; }
  void SetMainForm(TForm* form) noexcept { mainForm_ = form; }

  // Constructs a form owned by the application (freed by DestroyForms or at the end). The first
  // form created this way becomes the main form.
  template <typename T, typename... Args>
  T& CreateForm(Args&&... args) {
    FormPtr<T> form = MakeForm<T>(std::forward<Args>(args)...);
    T& ref = *form;
    if (mainForm_ == nullptr)
      mainForm_ = &ref;
    ownedForms_.emplace_back(std::move(form));
    return ref;
  }
  // Frees the forms the application owns, the last created first.
  void DestroyForms();

  // Shows the main form and runs the message loop until Terminate() or the main form closes.
  void Run();
  // Waits for one message and handles it; false once WM_QUIT has arrived.
  bool HandleMessage();
  // Handles every message already waiting, without waiting for more.
  void ProcessMessages();
  // Ends the message loop (the program) at the next opportunity.
  void Terminate();
  bool Terminated() const noexcept { return terminated_; }

  // Reports the exception being handled (call from inside a catch block). EAbort is not
  // reported: the failure it ends was reported where it happened.
  void HandleCurrentException() noexcept;
  void HandleException(const std::exception& e) noexcept;
  // Replaces the handler; an empty function restores the default. Returns the previous one.
  ExceptionHandler SetExceptionHandler(ExceptionHandler handler);

  // The form that last became active among the application's forms. Forms report activation
  // here; OnActivate fires only when this changes, as switching to other programs and message
  // boxes does not make another form active.
  TForm* ActiveForm() const noexcept { return activeForm_; }
  bool NoteActivated(TForm* form) noexcept;
  void NoteGone(TForm* form) noexcept;
  // The window of the program that a message box belongs to: the active form, else the main
  // form, whichever is visible and takes input; nullptr when neither does.
  HWND WindowInFront() const noexcept;

 private:
  void Dispatch(MSG& msg);
  void DefaultExceptionHandler(const std::exception& e);

  HINSTANCE instance_;
  std::string title_;
  TForm* mainForm_ = nullptr;
  TForm* activeForm_ = nullptr;
  bool terminated_ = false;
  bool initialized_ = false;
  ExceptionHandler handler_;
  std::vector<FormPtr<TForm>> ownedForms_;
};

// The one application object of the process.
TApplication& Application();

// Installs an exception handler for the lifetime of this object, then puts the previous back.
class ScopedExceptionHandler {
 public:
  explicit ScopedExceptionHandler(TApplication::ExceptionHandler handler)
      : previous_(Application().SetExceptionHandler(std::move(handler))) {}
  ~ScopedExceptionHandler() { Application().SetExceptionHandler(std::move(previous_)); }
  ScopedExceptionHandler(const ScopedExceptionHandler&) = delete;
  ScopedExceptionHandler& operator=(const ScopedExceptionHandler&) = delete;

 private:
  TApplication::ExceptionHandler previous_;
};

}  // namespace lexmora
