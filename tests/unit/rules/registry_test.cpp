// The rule-pack registry: installation, removal, lookup, the race rule of
// installation, and the resolution of a rule-bound request's rule pack.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "api/rule_registry.h"
#include "core/json_reader.h"
#include "core/json_writer.h"
#include "core/sha256.h"
#include "rules/rule_pack.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

Value minimal_rules() {
  std::ifstream in(std::string(KESVO_TEST_DATA) + "/fixtures/minimal_rules.json");
  std::stringstream s;
  s << in.rdbuf();
  return J(s.str());
}

// A valid pack that differs from the minimal one by its strategy list.
Value pack_with_strategy(const std::string& name) {
  Value v = minimal_rules();
  v.member("strategies").as_array().emplace_back(Value(name));
  return v;
}

Value request(std::initializer_list<std::pair<std::string_view, Value>> members) { return Value(Object(members)); }

TEST(RulePackFingerprint, Sha256OfCompactText) {
  const Value doc = J(R"({ "version" : 1 , "a" : [1.0, "é"] })");
  // The digest is over the compact text the engine writes.
  const std::string text = to_json(doc);
  EXPECT_EQ(text, R"({"version":1,"a":[1.0,"é"]})");
  const std::string fp = rule_pack_fingerprint(doc);
  EXPECT_EQ(fp, "57f6ff556a152d344db7454d654a0f82bb4b3f0e1c7b1036fcf52a94c1687a98");
  // Member order and number form change the fingerprint.
  EXPECT_NE(fp, rule_pack_fingerprint(J(R"({"a":[1.0,"é"],"version":1})")));
  EXPECT_NE(fp, rule_pack_fingerprint(J(R"({"version":1,"a":[1,"é"]})")));
  EXPECT_EQ(rule_pack_fingerprint(Value::object()), "44136fa355b3678a1146ad16f7e8649e94fb4fc21fe77e8310c060f61caaff8a");
}

TEST(RulePackFingerprint, StreamedDigestMatchesTheWholeText) {
  // The digest is computed piecewise; it must equal the digest of the full
  // compact text for every kind of value, across many buffer flushes.
  Value big = J(R"({"version":1,"e":{},"a":[],"n":null})");
  big.member("items") = Value::array();
  Array& items = big.member("items").as_array();
  for (int i = 0; i < 3000; ++i) {
    items.emplace_back(J(R"({"s":"tab\t quote\" nul\u0000 é 💡","f":-1.5e-7,"d":1e16,"i":-42,"u":18446744073709551615,"b":[true,false,null,{}],"w":1.0})"));
  }
  const std::string text = to_json(big);
  ASSERT_GT(text.size(), 100000u);
  EXPECT_EQ(rule_pack_fingerprint(big), sha256_hex(text));
  for (const char* scalar : {"null", "true", "0", "-0.5", "\"x\"", "[]", "[[[1]],{\"k\":[]}]"}) {
    const Value v = J(scalar);
    EXPECT_EQ(rule_pack_fingerprint(v), sha256_hex(to_json(v))) << scalar;
  }
}

TEST(RulePackLoad, VersionCheckComesFirst) {
  for (const char* doc : {"{}", R"({"version":1.0})", R"({"version":"1"})", R"({"version":2})", "[1]", "null",
                          R"({"version":-1,"platforms":5})"}) {
    auto r = load_rule_pack(J(doc));
    ASSERT_FALSE(r.ok()) << doc;
    EXPECT_EQ(r.error().kind, ErrorKind::Rules);
    EXPECT_EQ(r.error().message, "unsupported rule version") << doc;
  }
  auto r = load_rule_pack(J(R"({"version":1})"));
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().kind, ErrorKind::Rules);
  EXPECT_EQ(r.error().message, R"(rules : missing "platforms")");
  const Value good = minimal_rules();
  auto fp = load_rule_pack(good);
  ASSERT_TRUE(fp.ok()) << fp.error().message;
  EXPECT_EQ(*fp, rule_pack_fingerprint(good));
}

TEST(RuleResolution, InlineRulesBeatRulesIdAndNullFallsBack) {
  RuleRegistry& registry = RuleRegistry::instance();
  const Value installed = pack_with_strategy("installed");
  ASSERT_TRUE(registry.install(Value("resolve-a"), installed).ok());
  const std::string installed_fp = rule_pack_fingerprint(installed);
  const Value inline_doc = pack_with_strategy("inline");

  // Inline rules are used, rules_id is not consulted.
  const Value both = request({{"rules", inline_doc}, {"rules_id", Value("resolve-a")}});
  auto r = resolve_rule_pack(both);
  ASSERT_TRUE(r.ok()) << r.error().message;
  EXPECT_TRUE(r->is_borrowed());
  EXPECT_EQ(r->fingerprint(), rule_pack_fingerprint(inline_doc));
  EXPECT_EQ(&r->document(), both.find("rules"));  // borrowed, not copied

  // Inline rules that do not load fail, even with a registered rules_id.
  auto bad = resolve_rule_pack(request({{"rules", J(R"({"version":2})")}, {"rules_id", Value("resolve-a")}}));
  ASSERT_FALSE(bad.ok());
  EXPECT_EQ(bad.error().message, "unsupported rule version");

  // rules null (or absent) uses rules_id.
  for (const Value& req : {request({{"rules", Value()}, {"rules_id", Value("resolve-a")}}),
                           request({{"rules_id", Value("resolve-a")}})}) {
    auto s = resolve_rule_pack(req);
    ASSERT_TRUE(s.ok()) << s.error().message;
    EXPECT_FALSE(s->is_borrowed());
    EXPECT_EQ(s->fingerprint(), installed_fp);
    EXPECT_EQ(to_json(s->document()), to_json(installed));
  }

  // A removed id fails; a reference taken before the removal stays valid.
  auto held = resolve_rule_pack(request({{"rules_id", Value("resolve-a")}}));
  ASSERT_TRUE(held.ok());
  ASSERT_TRUE(registry.remove(Value("resolve-a")).ok());
  auto gone = resolve_rule_pack(request({{"rules_id", Value("resolve-a")}}));
  ASSERT_FALSE(gone.ok());
  EXPECT_EQ(gone.error().kind, ErrorKind::Rules);
  EXPECT_EQ(gone.error().message, "rules are required or rules_id is not registered");
  EXPECT_EQ(held->fingerprint(), installed_fp);
  EXPECT_EQ(to_json(held->document()), to_json(installed));

  // Anything but a string names the empty id, which is never registered.
  for (const Value& id : {Value(5), Value(), Value("")}) {
    auto none = resolve_rule_pack(request({{"rules_id", id}}));
    ASSERT_FALSE(none.ok());
    EXPECT_EQ(none.error().message, "rules are required or rules_id is not registered");
  }
}

TEST(RuleRegistry, ReinstallingSameContentDoesNotValidateAgain) {
  RuleRegistry& registry = RuleRegistry::instance();
  const Value doc = pack_with_strategy("same");
  ASSERT_TRUE(registry.install(Value("same-id"), doc).ok());
  // Same content: true without loading. Any other content, even an invalid
  // document, is a conflict found before validation.
  auto again = registry.install(Value("same-id"), doc);
  ASSERT_TRUE(again.ok());
  EXPECT_TRUE(again->as_bool());
  auto other = registry.install(Value("same-id"), J(R"({"version":7})"));
  ASSERT_FALSE(other.ok());
  EXPECT_EQ(other.error().kind, ErrorKind::Rules);
  EXPECT_EQ(other.error().message, "rule id already registered with different content");
  ASSERT_TRUE(registry.remove(Value("same-id")).ok());
}

// Several threads install, look up and remove packs at once. Every lookup
// sees either nothing or one of the complete entries that was installed.
TEST(RegistryConcurrency, InstallRemoveLookup) {
  RuleRegistry& registry = RuleRegistry::instance();
  constexpr int kThreads = 6;
  constexpr int kRounds = 150;
  std::vector<Value> packs;
  std::vector<std::string> fingerprints;
  for (int i = 0; i < 3; ++i) {
    packs.push_back(pack_with_strategy("s" + std::to_string(i)));
    fingerprints.push_back(rule_pack_fingerprint(packs.back()));
  }
  std::atomic<int> bad{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        const std::string id = "shared-" + std::to_string(round % 4);
        const int which = (t + round) % 3;
        switch ((t + round) % 3) {
          case 0: {
            auto r = registry.install(Value(id), packs[which]);
            if (!r.ok() && r.error().message != "rule id already registered with different content") ++bad;
            break;
          }
          case 1: {
            auto r = registry.remove(Value(id));
            if (!r.ok()) ++bad;
            break;
          }
          default: {
            auto r = resolve_rule_pack(request({{"rules_id", Value(id)}}));
            if (r.ok()) {
              const std::string& fp = r->fingerprint();
              bool known = false;
              for (const std::string& f : fingerprints) known = known || f == fp;
              // The document is read without any lock: entries are immutable.
              if (!known || rule_pack_fingerprint(r->document()) != fp) ++bad;
            } else if (r.error().message != "rules are required or rules_id is not registered") {
              ++bad;
            }
          }
        }
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(bad.load(), 0);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(registry.remove(Value("shared-" + std::to_string(i))).ok());
}

// Two threads installing different contents under one new id: both may
// validate, exactly one wins, the other gets the conflict.
TEST(RegistryConcurrency, RaceOnANewIdHasOneWinner) {
  RuleRegistry& registry = RuleRegistry::instance();
  const Value a = pack_with_strategy("a");
  const Value b = pack_with_strategy("b");
  for (int round = 0; round < 40; ++round) {
    const Value id("race-" + std::to_string(round));
    Result<Value> ra = Value(), rb = Value();
    std::thread ta([&] { ra = registry.install(id, a); });
    std::thread tb([&] { rb = registry.install(id, b); });
    ta.join();
    tb.join();
    ASSERT_NE(ra.ok(), rb.ok()) << round;
    const Result<Value>& loser = ra.ok() ? rb : ra;
    EXPECT_EQ(loser.error().message, "rule id already registered with different content");
    auto entry = registry.lookup(id.as_string());
    ASSERT_TRUE(entry.ok() && *entry);
    EXPECT_EQ((*entry)->fingerprint, rule_pack_fingerprint(ra.ok() ? a : b));
    // Two threads installing the same content both succeed.
    Result<Value> sa = Value(), sb = Value();
    const Value same_id("same-race-" + std::to_string(round));
    std::thread tc([&] { sa = registry.install(same_id, a); });
    std::thread td([&] { sb = registry.install(same_id, a); });
    tc.join();
    td.join();
    EXPECT_TRUE(sa.ok() && sb.ok());
  }
}

}  // namespace
}  // namespace kesvo
