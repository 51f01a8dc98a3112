#pragma once

#include <deque>
#include <vector>

#include <QString>

class QWidget;

enum class TMsgIcon { None, Information, Warning, Error, Question };
enum class TMsgButtons { Ok, YesNo };
enum class TMsgResult { Ok, Yes, No };

// One message as the program asked for it.
struct TMessage {
    QString Text;
    QString Caption;
    TMsgIcon Icon = TMsgIcon::None;
    TMsgButtons Buttons = TMsgButtons::Ok;
};

// Every message box of the program goes through here, so tests can read what was said and answer
// for the user. Without an interceptor the box is a modal QMessageBox; on a platform nobody can
// see (offscreen) it is written to stderr and answered with the cautious choice (OK, No) instead
// of waiting for a click that never comes.
class TMessageBox {
  public:
    static constexpr const char* kApplicationTitle = "Brevanto - Scanner";

    static TMsgResult Show(QWidget* parent, const QString& text, const QString& caption,
                           TMsgIcon icon, TMsgButtons buttons = TMsgButtons::Ok);
    // An error nobody caught: its own text, the program's title, the error icon.
    static void ShowError(QWidget* parent, const QString& text);
};

// While alive, takes every message box instead of showing it: records it and answers from the
// queued answers, else with OK or Yes. One at a time; not thread-safe (GUI thread only).
class TMessageBoxInterceptor {
  public:
    TMessageBoxInterceptor();
    ~TMessageBoxInterceptor();
    TMessageBoxInterceptor(const TMessageBoxInterceptor&) = delete;
    TMessageBoxInterceptor& operator=(const TMessageBoxInterceptor&) = delete;

    // The answer to the next question not yet answered.
    void Answer(TMsgResult result) { answers_.push_back(result); }
    const std::vector<TMessage>& Messages() const { return messages_; }
    void Clear() { messages_.clear(); }

    TMsgResult Take(const TMessage& message);

  private:
    std::vector<TMessage> messages_;
    std::deque<TMsgResult> answers_;
    TMessageBoxInterceptor* previous_;
};
