#include "project/Scripts.h"

#include <mutex>

#include "project/NewId.h"

namespace duduri {

namespace {

std::mutex gHandlerMutex;
TCommandHandler gHandler;

void writeEnd(TByteWriter& out, std::uint32_t marker) {
  out.U32(marker);
  out.U32(0);
}

// A nested stream stored as an i32 length and its bytes.
TByteReader nestedStream(TByteReader& in) {
  return TByteReader(in.Bytes(in.Length()));
}

}  // namespace

// ---- TScriptParameter ------------------------------------------------------

void TScriptParameter::Add(std::int32_t kind, TByteSpan bytes) {
  params_.push_back({kind, TBytes(bytes.begin(), bytes.end())});
}

void TScriptParameter::Delete(std::size_t index) {
  if (index < params_.size()) params_.erase(params_.begin() + std::ptrdiff_t(index));
}

std::string TScriptParameter::Text(std::size_t index) const {
  if (index >= params_.size() || params_[index].Kind != kParamText) return {};
  const TBytes& d = params_[index].Data;
  return std::string(reinterpret_cast<const char*>(d.data()), d.size());
}

void TScriptParameter::WriteStream(TByteWriter& out) const {
  out.U32(kParamListBegin);
  for (const TScriptParam& p : params_) {
    const std::int32_t length = CheckedLength(p.Data.size());
    out.U32(kParamRecord);
    out.U32(std::uint32_t(CheckedLength(p.Data.size() + 8)));
    out.I32(p.Kind);
    out.I32(length);
    out.Bytes(p.Data);
  }
  writeEnd(out, kParamListEnd);
}

void TScriptParameter::ReadStream(TByteReader& in) {
  if (in.Remaining() < 4 || in.U32() != kParamListBegin) throw EScriptParamErr();
  for (;;) {
    const std::uint32_t marker = in.U32();
    const std::uint32_t size = in.U32();
    if (marker == kParamListEnd) return;
    if (marker == kParamRecord) {
      const std::int32_t kind = in.I32();
      Add(kind, in.Bytes(in.Length()));
    } else {
      in.Skip(size);
    }
  }
}

// ---- TScriptItem -----------------------------------------------------------

void TScriptItem::Assign(const TScriptItem& source) {
  Code = source.Code;
  Parameter.Assign(source.Parameter);
}

void TScriptItem::AddTextParameter(const std::string& text) {
  Parameter.Add(kParamText, AsBytes(text));
}

void TScriptItem::WriteStream(TByteWriter& out) const {
  TByteWriter params;
  Parameter.WriteStream(params);
  const std::int32_t p = CheckedLength(params.Size());
  out.U32(kScriptItemBegin);
  out.U32(kScriptItemRecord);
  // The size field counts four bytes more than the payload; readers go by
  // the payload's layout, so the value is kept as files have always had it.
  out.U32(std::uint32_t(CheckedLength(params.Size() + 12)));
  out.I32(Code);
  out.I32(p);
  out.Bytes(params.Data());
  writeEnd(out, kScriptItemEnd);
}

TBytes TScriptItem::StreamBytes() const {
  TByteWriter out;
  WriteStream(out);
  return out.Take();
}

void TScriptItem::ReadStream(TByteReader& in) {
  if (in.Remaining() < 4 || in.U32() != kScriptItemBegin) throw EScriptItemErr();
  for (;;) {
    const std::uint32_t marker = in.U32();
    const std::uint32_t size = in.U32();
    if (marker == kScriptItemEnd) return;
    if (marker == kScriptItemRecord) {
      Code = in.I32();
      TByteReader params = nestedStream(in);
      Parameter.ReadStream(params);
    } else {
      in.Skip(size);
    }
  }
}

void TScriptItem::Run() const {
  TCommandHandler handler;
  {
    std::lock_guard lock(gHandlerMutex);
    handler = gHandler;
  }
  if (handler) handler(ActualSender, Code, Parameter);
}

void SetCommandHandler(TCommandHandler handler) {
  std::lock_guard lock(gHandlerMutex);
  gHandler = std::move(handler);
}

bool HasCommandHandler() {
  std::lock_guard lock(gHandlerMutex);
  return bool(gHandler);
}

// ---- TActionItem -----------------------------------------------------------

TScriptItem& TActionItem::AddScriptItem() {
  items_.push_back(std::make_unique<TScriptItem>());
  items_.back()->ActionOwner = this;
  return *items_.back();
}

void TActionItem::Delete(std::size_t index) {
  if (index < items_.size()) items_.erase(items_.begin() + std::ptrdiff_t(index));
}

void TActionItem::Assign(const TActionItem& source) {
  if (&source == this) return;
  Clear();
  for (const auto& item : source.items_) AddScriptItem().Assign(*item);
  Caption = source.Caption;
}

void TActionItem::SetActionGroup(TActionGroup* group) {
  const bool hadGroup = group_ != nullptr;
  group_ = group;
  if (hadGroup || group == nullptr) return;
  ActionID = DrawAnyId(
      [&](std::int32_t id) {
        for (const auto& other : group->items_)
          if (other.get() != this && other->ActionID == id) return true;
        return false;
      },
      "action");
}

void TActionItem::WriteStream(TByteWriter& out) const {
  out.U32(kActionItemBegin);
  out.U32(kActionItemHeader);
  out.U32(std::uint32_t(CheckedLength(Caption.size() + 8)));
  out.I32(ActionID);
  out.String(Caption);
  for (const auto& item : items_) {
    const TBytes bytes = item->StreamBytes();
    out.U32(kActionItemScript);
    out.U32(std::uint32_t(CheckedLength(bytes.size() + 4)));
    out.LengthPrefixedBytes(bytes);
  }
  writeEnd(out, kActionItemEnd);
}

TBytes TActionItem::StreamBytes() const {
  TByteWriter out;
  WriteStream(out);
  return out.Take();
}

void TActionItem::ReadStream(TByteReader& in) {
  if (in.Remaining() < 4 || in.U32() != kActionItemBegin) throw EActionItemErr();
  for (;;) {
    const std::uint32_t marker = in.U32();
    const std::uint32_t size = in.U32();
    if (marker == kActionItemEnd) return;
    if (marker == kActionItemHeader) {
      ActionID = in.I32();
      Caption = in.String();
    } else if (marker == kActionItemScript) {
      TByteReader script = nestedStream(in);
      AddScriptItem().ReadStream(script);
    } else {
      in.Skip(size);
    }
  }
}

void TActionItem::Run() const {
  for (const auto& item : items_) item->Run();
}

// ---- TActionGroup ----------------------------------------------------------

TActionItem& TActionGroup::AddActionItem() {
  items_.push_back(std::make_unique<TActionItem>());
  items_.back()->SetActionGroup(this);
  return *items_.back();
}

void TActionGroup::Delete(std::size_t index) {
  if (index < items_.size()) items_.erase(items_.begin() + std::ptrdiff_t(index));
}

void TActionGroup::Assign(const TActionGroup& source) {
  if (&source == this) return;
  Clear();
  for (const auto& item : source.items_) {
    items_.push_back(std::make_unique<TActionItem>());
    TActionItem& copy = *items_.back();
    copy.Assign(*item);
    copy.ActionID = item->ActionID;
    copy.group_ = this;
  }
  Caption = source.Caption;
}

void TActionGroup::WriteStream(TByteWriter& out) const {
  out.U32(kActionGroupBegin);
  for (const auto& item : items_) {
    const TBytes bytes = item->StreamBytes();
    out.U32(kActionGroupItem);
    out.U32(std::uint32_t(CheckedLength(bytes.size() + 4)));
    out.LengthPrefixedBytes(bytes);
  }
  out.U32(kActionGroupCaption);
  out.U32(std::uint32_t(CheckedLength(Caption.size() + 4)));
  out.String(Caption);
  writeEnd(out, kActionGroupEnd);
}

TBytes TActionGroup::StreamBytes() const {
  TByteWriter out;
  WriteStream(out);
  return out.Take();
}

void TActionGroup::ReadStream(TByteReader& in) {
  if (in.Remaining() < 4) return;
  const std::size_t start = in.Position();
  if (in.U32() != kActionGroupBegin) {
    in.Seek(start);
    return;
  }
  for (;;) {
    const std::uint32_t marker = in.U32();
    const std::uint32_t size = in.U32();
    if (marker == kActionGroupEnd) return;
    if (marker == kActionGroupItem) {
      TByteReader item = nestedStream(in);
      // Read into a free item first: a stored action id is kept as it is.
      auto read = std::make_unique<TActionItem>();
      read->ReadStream(item);
      read->group_ = this;
      items_.push_back(std::move(read));
    } else if (marker == kActionGroupCaption) {
      Caption = in.String();
    } else {
      in.Skip(size);
    }
  }
}

}  // namespace duduri
