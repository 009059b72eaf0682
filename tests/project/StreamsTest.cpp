// The small stream formats a package carries: scripts, splash and the sound
// format association.

#include <gtest/gtest.h>

#include "project/Scripts.h"
#include "project/SoundFormats.h"
#include "project/Splash.h"

namespace duduri {
namespace {

TEST(Scripts, CodeZeroItemWithoutParametersIs40Bytes) {
  TScriptItem item;
  const TBytes bytes = item.StreamBytes();
  ASSERT_EQ(bytes.size(), 40u);
  TByteReader in(bytes);
  EXPECT_EQ(in.U32(), kScriptItemBegin);
  EXPECT_EQ(in.U32(), kScriptItemRecord);
  EXPECT_EQ(in.U32(), 24u);
  EXPECT_EQ(in.I32(), 0);
  EXPECT_EQ(in.I32(), 12);
  EXPECT_EQ(in.U32(), kParamListBegin);
  EXPECT_EQ(in.U32(), kParamListEnd);
  EXPECT_EQ(in.U32(), 0u);
  EXPECT_EQ(in.U32(), kScriptItemEnd);
  EXPECT_EQ(in.U32(), 0u);
}

TEST(Scripts, ParametersRoundTripIncludingEmptyOnes) {
  TScriptItem item;
  item.Code = 19;
  item.Parameter.Add(kParamInteger, TBytes{std::byte{4}, std::byte{0}, std::byte{0}, std::byte{0}});
  item.Parameter.Add(kParamText, {});
  item.AddTextParameter("page.html");
  item.Parameter.Add(77, TBytes{std::byte{0xFF}});
  TScriptItem copy;
  const TBytes bytes = item.StreamBytes();
  TByteReader in(bytes);
  copy.ReadStream(in);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_TRUE(copy.SameCommand(item));
  EXPECT_EQ(copy.Parameter.Count(), 4u);
  EXPECT_EQ(copy.Parameter.Get(1).Data.size(), 0u);
  EXPECT_EQ(copy.Parameter.Text(2), "page.html");
}

TEST(Scripts, UnknownRecordsAreSkippedByTheirSize) {
  TByteWriter w;
  w.U32(kParamListBegin);
  w.U32(0x12345678);
  w.U32(6);
  w.Zeros(6);
  w.U32(kParamRecord);
  w.U32(9);
  w.I32(kParamText);
  w.I32(1);
  w.U8('x');
  w.U32(kParamListEnd);
  w.U32(0);
  TScriptParameter p;
  TByteReader in(w.Data());
  p.ReadStream(in);
  ASSERT_EQ(p.Count(), 1u);
  EXPECT_EQ(p.Text(0), "x");
}

TEST(Scripts, MissingBeginMarkersAndTruncatedStreams) {
  const TBytes junk(16, std::byte{0x11});
  {
    TScriptParameter p;
    TByteReader in(junk);
    EXPECT_THROW(p.ReadStream(in), EScriptParamErr);
  }
  {
    TScriptItem s;
    TByteReader in(junk);
    try {
      s.ReadStream(in);
      FAIL();
    } catch (const EScriptItemErr& e) {
      EXPECT_STREQ(e.what(), "Invalid script item stream.");
    }
  }
  {
    TActionItem a;
    TByteReader in(junk);
    EXPECT_THROW(a.ReadStream(in), EActionItemErr);
  }
  {
    TActionGroup g;
    TByteReader in(junk);
    EXPECT_NO_THROW(g.ReadStream(in));
    EXPECT_EQ(g.ActionCount(), 0u);
  }
  TScriptItem item;
  item.AddTextParameter("abc");
  TBytes bytes = item.StreamBytes();
  bytes.resize(bytes.size() - 5);
  TScriptItem s;
  TByteReader in(bytes);
  EXPECT_THROW(s.ReadStream(in), EStreamReadError);
  // A huge unknown record size cannot make a reader jump past its buffer.
  TByteWriter w;
  w.U32(kScriptItemBegin);
  w.U32(0xABCDEF);
  w.U32(0xFFFFFFFF);
  TByteReader huge(w.Data());
  EXPECT_THROW(s.ReadStream(huge), EStreamReadError);
}

TEST(Scripts, ActionGroupsAndItemsRoundTripWithIds) {
  TActionGroup group;
  group.Caption = "pages";
  TActionItem& a = group.AddActionItem();
  TActionItem& b = group.AddActionItem();
  EXPECT_NE(a.ActionID, b.ActionID);
  EXPECT_EQ(a.ActionGroup(), &group);
  a.Caption = "one";
  a.AddScriptItem().Code = 4;
  b.AddScriptItem().AddTextParameter("t");
  b.AddScriptItem().Code = 18;
  EXPECT_EQ(b.ScriptItem(0).ActionOwner, &b);

  TActionGroup copy;
  const TBytes bytes = group.StreamBytes();
  TByteReader in(bytes);
  copy.ReadStream(in);
  EXPECT_EQ(copy.Caption, "pages");
  ASSERT_EQ(copy.ActionCount(), 2u);
  EXPECT_EQ(copy.Action(0).ActionID, a.ActionID);
  EXPECT_EQ(copy.Action(0).Caption, "one");
  EXPECT_EQ(copy.Action(1).ScriptCount(), 2u);
  EXPECT_EQ(copy.Action(1).ScriptItem(1).Code, 18);
  EXPECT_EQ(copy.Action(1).ActionGroup(), &copy);
  EXPECT_EQ(copy.StreamBytes(), group.StreamBytes());
}

TEST(Scripts, RunningGoesThroughTheInstalledHandlerOnly) {
  TActionItem script;
  script.AddScriptItem().Code = 7;
  script.AddScriptItem().Code = 8;
  script.ScriptItem(1).AddTextParameter("p");
  script.Run();  // no handler: nothing happens
  std::vector<std::int32_t> codes;
  int sender = 0;
  script.ScriptItem(0).ActualSender = &sender;
  SetCommandHandler([&](void* s, std::int32_t code, const TScriptParameter& params) {
    codes.push_back(code);
    if (code == 7) {
      EXPECT_EQ(s, &sender);
    }
    if (code == 8) {
      EXPECT_EQ(params.Text(0), "p");
    }
  });
  script.Run();
  SetCommandHandler({});
  EXPECT_EQ(codes, (std::vector<std::int32_t>{7, 8}));
}

TEST(Splash, EmptySplashIs16BytesAndReadsBackEmpty) {
  TSplash s;
  EXPECT_TRUE(s.Empty());
  const TBytes bytes = s.StreamBytes();
  EXPECT_EQ(bytes.size(), 16u);
  TSplash r;
  EXPECT_TRUE(r.ReadStream(bytes));
}

TEST(Splash, EndFirstKeepsThePictureAndOtherRecordsAreSkipped) {
  TSplash s;
  s.SetData(TBytes(5, std::byte{9}));
  TByteWriter endOnly;
  endOnly.U32(kSplashEnd);
  endOnly.I32(0);
  EXPECT_FALSE(s.ReadStream(endOnly.Data()));
  EXPECT_EQ(s.Data().size(), 5u);

  TByteWriter w;
  w.U32(0xADADAD07);
  w.I32(3);
  w.Zeros(3);
  w.U32(kSplashPicture);
  w.I32(2);
  w.Zeros(2);
  w.U32(kSplashEnd);
  w.I32(0);
  EXPECT_FALSE(s.ReadStream(w.Data()));
  EXPECT_EQ(s.Data().size(), 2u);

  TByteWriter negative;
  negative.U32(kSplashPicture);
  negative.I32(-4);
  EXPECT_THROW(s.ReadStream(negative.Data()), EProjectFormatError);
  EXPECT_EQ(s.Data().size(), 2u);
}

TEST(SoundFormats, StreamsRoundTripAndSkipOtherTags) {
  TSoundIDFormatAssoc a;
  TByteWriter endOnly;
  endOnly.U32(kSoundAssocEnd);
  endOnly.U32(0);
  a.Add(1, 1);
  a.ReadStream(endOnly.Data());
  EXPECT_TRUE(a.Empty());

  TByteWriter w;
  w.U32(5);
  w.U32(12);
  w.Zeros(12);
  w.U32(kSoundAssocPair);
  w.U32(10);  // longer than 8: only the first 8 count
  w.I32(512);
  w.U8(2);
  w.Zeros(5);
  w.U32(kSoundAssocPair);
  w.U32(8);
  w.I32(3);
  w.U8(4);
  w.Zeros(3);
  w.U32(kSoundAssocEnd);
  w.U32(0);
  a.ReadStream(w.Data());
  ASSERT_EQ(a.Count(), 2u);
  EXPECT_EQ(a.Lookup(512), 2);
  EXPECT_EQ(a.Lookup(3), 4);
  EXPECT_EQ(a.Lookup(4), 0);

  TSoundIDFormatAssoc b;
  b.ReadStream(a.StreamBytes());
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.StreamBytes().size(), 2 * 16u + 8u);
}

}  // namespace
}  // namespace duduri
