// Cover settings: reading with every member optional and checked, writing
// all eight members in order.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "driver/cover/cover_settings.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

TEST(CoverSettings, DefaultsWrittenInOrder) {
  EXPECT_EQ(to_json(default_cover_settings_json()),
            R"({"invert_position":false,"invert_set_position":false,"invert_control":false,"settle":0,)"
            R"("invert_tilt":false,"position_from_target":false,"state_source":null,"invert_reported_motion":false})");
  EXPECT_EQ(write_cover_settings(CoverSettings{}).as_object().size(), kCoverSettingNames.size());
  size_t i = 0;
  for (const Member& m : default_cover_settings_json().as_object()) EXPECT_EQ(m.key, kCoverSettingNames[i++]);
}

TEST(CoverSettings, ReadsAndRoundTrips) {
  auto s = read_cover_settings(J(
      R"({"state_source":"control","settle":2.5,"invert_tilt":true,"invert_reported_motion":true,"invert_position":false})"));
  ASSERT_TRUE(s.ok()) << s.error();
  EXPECT_EQ(s->state_source, StateSource::Control);
  EXPECT_EQ(s->settle, 2.5);
  EXPECT_TRUE(s->invert_tilt);
  EXPECT_TRUE(s->invert_reported_motion);
  EXPECT_EQ(to_json(write_cover_settings(*s)),
            R"({"invert_position":false,"invert_set_position":false,"invert_control":false,"settle":2.5,)"
            R"("invert_tilt":true,"position_from_target":false,"state_source":"control","invert_reported_motion":true})");
  // Written settings read back to the same record.
  auto again = read_cover_settings(write_cover_settings(*s));
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(*again, *s);
  // Absent members keep their defaults; state_source null is no tracker.
  auto empty = read_cover_settings(J(R"({"state_source":null})"));
  ASSERT_TRUE(empty.ok());
  EXPECT_EQ(*empty, CoverSettings{});
  for (const char* name : {"control", "inferred", "none"}) {
    auto r = read_cover_settings(J(std::string(R"({"state_source":")") + name + "\"}"));
    ASSERT_TRUE(r.ok()) << name;
    EXPECT_EQ(state_source_name(*r->state_source), name);
  }
}

TEST(CoverSettings, SettleIsWrittenAsIntegerWhenWholeAndNullWhenNotFinite) {
  struct {
    double settle;
    const char* written;
  } cases[] = {
      {0, "0"},          {5, "5"},         {-3, "-3"},    {2.5, "2.5"},   {-0.0, "0"},
      {1e300, "1e300"},  {std::numeric_limits<double>::infinity(), "null"},
      {std::nan(""), "null"},
  };
  for (const auto& c : cases) {
    CoverSettings s;
    s.settle = c.settle;
    EXPECT_EQ(to_json(write_cover_settings(s)["settle"]), c.written) << c.settle;
  }
  // Any number reads, negative and integer ones included.
  auto r = read_cover_settings(J(R"({"settle":-7})"));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->settle, -7);
}

TEST(CoverSettings, ReadFailures) {
  struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"null", "cover settings must be an object"},
      {"[]", "cover settings must be an object"},
      {R"({"speed":1})", "unknown cover setting speed"},
      {R"({"invert_control":1})", "invert_control: expected a boolean"},
      {R"({"position_from_target":"true"})", "position_from_target: expected a boolean"},
      {R"({"settle":"5"})", "settle: expected a number"},
      {R"({"settle":null})", "settle: expected a number"},
      {R"({"state_source":"auto"})", R"(state_source: expected null, "control", "inferred" or "none")"},
      {R"({"state_source":false})", R"(state_source: expected null, "control", "inferred" or "none")"},
  };
  for (const auto& c : cases) {
    auto r = read_cover_settings(J(c.text));
    ASSERT_FALSE(r.ok()) << c.text;
    EXPECT_EQ(r.error(), c.message) << c.text;
  }
  // A member given twice (only possible for objects built in code).
  Object twice;
  twice.append_new("settle", Value(1));
  twice.append_new("settle", Value(2));
  auto r = read_cover_settings(Value(std::move(twice)));
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), "cover setting settle given twice");
}

}  // namespace
}  // namespace kesvo
