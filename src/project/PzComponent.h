#pragma once
// TPzComponent: the base of the project objects, with an update counter that
// holds change notifications back while a batch of changes is made.

#include <cstdint>
#include <functional>
#include <string>

namespace duduri {

class TPzComponent {
 public:
  virtual ~TPzComponent() = default;

  std::function<void(TPzComponent&)> OnChanged;
  std::function<void(TPzComponent&, const std::string& property, const std::string& oldValue,
                     const std::string& newValue)>
      OnPropertyChanged;

  std::int32_t UpdateCount() const { return updateCount_; }
  bool Notify = true;

  // Calls OnChanged when no update is in progress.
  virtual void Changed() {
    if (updateCount_ == 0 && OnChanged) OnChanged(*this);
  }
  virtual void PropertyChanged(const std::string& property, const std::string& oldValue,
                               const std::string& newValue) {
    if (updateCount_ == 0 && OnPropertyChanged)
      OnPropertyChanged(*this, property, oldValue, newValue);
  }
  virtual void BeginUpdate() { ++updateCount_; }
  // The last EndUpdate of a batch sends one change notification.
  virtual void EndUpdate() {
    --updateCount_;
    if (Notify && updateCount_ < 1) {
      updateCount_ = 0;
      Changed();
    }
  }

 private:
  std::int32_t updateCount_ = 0;
};

}  // namespace duduri
