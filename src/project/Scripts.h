#pragma once
// Event scripts: a script (TActionItem) is a list of commands (TScriptItem),
// a command is a code with typed parameters (TScriptParameter), and action
// groups (TActionGroup) are named collections of scripts. The project only
// stores scripts; running one hands each command to the process-wide command
// handler that the shell installs.
//
// Streams: every level starts with a begin marker, then records of a u32
// marker, a u32 size and a payload, and ends with an end record of size 0.
// Known records are read by their layout, unknown ones skipped by their size.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "project/ByteStream.h"

namespace duduri {

class EScriptParamErr : public EDuduriError {
 public:
  EScriptParamErr() : EDuduriError("Invalid script parameter stream.") {}
};
class EScriptItemErr : public EDuduriError {
 public:
  EScriptItemErr() : EDuduriError("Invalid script item stream.") {}
};
class EActionItemErr : public EDuduriError {
 public:
  EActionItemErr() : EDuduriError("Invalid action item stream.") {}
};

// Parameter kinds in use.
inline constexpr std::int32_t kParamInteger = 1;  // 4-byte integer (a picture index)
inline constexpr std::int32_t kParamText = 2;     // the bytes of a string

// Stream markers.
inline constexpr std::uint32_t kParamListBegin = 0x00DEEDEE;
inline constexpr std::uint32_t kParamRecord = 0x00DEEDEF;
inline constexpr std::uint32_t kParamListEnd = 0x00DEEDE0;
inline constexpr std::uint32_t kScriptItemBegin = 0x00BEEBEE;
inline constexpr std::uint32_t kScriptItemRecord = 0x00BEEBEF;
inline constexpr std::uint32_t kScriptItemEnd = 0x00BEEBE0;
inline constexpr std::uint32_t kActionItemBegin = 0x00AEEAEE;
inline constexpr std::uint32_t kActionItemHeader = 0x00AEEAED;
inline constexpr std::uint32_t kActionItemScript = 0x00AEEAEF;
inline constexpr std::uint32_t kActionItemEnd = 0x00AEEAE0;
inline constexpr std::uint32_t kActionGroupBegin = 0x00CEECEE;
inline constexpr std::uint32_t kActionGroupItem = 0x00CEECEF;
inline constexpr std::uint32_t kActionGroupCaption = 0x00CEECED;
inline constexpr std::uint32_t kActionGroupEnd = 0x00CEECE0;

struct TScriptParam {
  std::int32_t Kind = 0;
  TBytes Data;
  friend bool operator==(const TScriptParam&, const TScriptParam&) = default;
};

class TScriptParameter {
 public:
  void Add(std::int32_t kind, TByteSpan bytes);
  const TScriptParam& Get(std::size_t index) const { return params_.at(index); }
  std::size_t Count() const { return params_.size(); }
  void Delete(std::size_t index);
  void Clear() { params_.clear(); }
  void Assign(const TScriptParameter& source) { params_ = source.params_; }
  // The text of a kind-2 parameter ("" for any other index or kind).
  std::string Text(std::size_t index) const;

  void WriteStream(TByteWriter& out) const;
  // Appends the parameters of a stream; throws EScriptParamErr without the
  // begin marker.
  void ReadStream(TByteReader& in);

  friend bool operator==(const TScriptParameter&, const TScriptParameter&) = default;

 private:
  std::vector<TScriptParam> params_;
};

class TActionItem;

// The code of a command that does nothing (menu entries use -1 for "none").
inline constexpr std::int32_t kNoCommand = -1;

class TScriptItem {
 public:
  std::int32_t Code = 0;
  TScriptParameter Parameter;
  TActionItem* ActionOwner = nullptr;  // the script holding this item, not owned
  void* ActualSender = nullptr;        // the UI object that triggered it, not owned

  void Assign(const TScriptItem& source);  // code and parameters
  void AddTextParameter(const std::string& text);
  void WriteStream(TByteWriter& out) const;
  TBytes StreamBytes() const;
  // Reads code and appends parameters; throws EScriptItemErr without the
  // begin marker.
  void ReadStream(TByteReader& in);
  // Hands the command to the installed handler; nothing without one.
  void Run() const;

  // Equal code and parameters.
  bool SameCommand(const TScriptItem& other) const {
    return Code == other.Code && Parameter == other.Parameter;
  }
};

// The process-wide command handler (the shell's action dispatcher).
using TCommandHandler =
    std::function<void(void* actualSender, std::int32_t code, const TScriptParameter& parameter)>;
void SetCommandHandler(TCommandHandler handler);  // empty removes it
bool HasCommandHandler();

class TActionGroup;

class TActionItem {
 public:
  TActionItem() = default;
  TActionItem(const TActionItem&) = delete;
  TActionItem& operator=(const TActionItem&) = delete;

  std::int32_t ActionID = 0;
  std::string Caption;

  TScriptItem& AddScriptItem();
  TScriptItem& ScriptItem(std::size_t index) { return *items_.at(index); }
  const TScriptItem& ScriptItem(std::size_t index) const { return *items_.at(index); }
  std::size_t ScriptCount() const { return items_.size(); }
  void Delete(std::size_t index);
  void Clear() { items_.clear(); }
  // Clears this item, then copies every script item and the caption.
  void Assign(const TActionItem& source);
  bool Empty() const { return items_.empty() && Caption.empty() && ActionID == 0; }

  TActionGroup* ActionGroup() const { return group_; }
  // An item that gets its first group receives an id no other item of that
  // group carries.
  void SetActionGroup(TActionGroup* group);

  void WriteStream(TByteWriter& out) const;
  TBytes StreamBytes() const;
  // Appends the script items of a stream; throws EActionItemErr without the
  // begin marker.
  void ReadStream(TByteReader& in);
  void Run() const;

 private:
  friend class TActionGroup;
  std::vector<std::unique_ptr<TScriptItem>> items_;
  TActionGroup* group_ = nullptr;
};

class TActionGroup {
 public:
  TActionGroup() = default;
  TActionGroup(const TActionGroup&) = delete;
  TActionGroup& operator=(const TActionGroup&) = delete;

  std::string Caption;

  TActionItem& AddActionItem();
  TActionItem& Action(std::size_t index) { return *items_.at(index); }
  const TActionItem& Action(std::size_t index) const { return *items_.at(index); }
  std::size_t ActionCount() const { return items_.size(); }
  void Delete(std::size_t index);
  void Clear() { items_.clear(); }
  void Assign(const TActionGroup& source);

  void WriteStream(TByteWriter& out) const;
  TBytes StreamBytes() const;
  // Appends the action items of a stream. Without the begin marker nothing
  // is read and no error is raised.
  void ReadStream(TByteReader& in);

 private:
  friend class TActionItem;
  std::vector<std::unique_ptr<TActionItem>> items_;
};

}  // namespace duduri
