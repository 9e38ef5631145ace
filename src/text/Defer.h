#pragma once

#include <utility>

// Runs an action when the enclosing scope ends, on every way out (a return or an exception).
// Declare it right after the thing it undoes; guards declared later run first, so owners release
// in reverse order. The action runs from a destructor and so must not throw.
template <class F>
class [[nodiscard]] TDefer {
  public:
    explicit TDefer(F action) : Action(std::move(action)) {}
    ~TDefer() { Action(); }
    TDefer(const TDefer&) = delete;
    TDefer& operator=(const TDefer&) = delete;

  private:
    F Action;
};
