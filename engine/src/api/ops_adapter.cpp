// Value-adapter and strategy operations.
#include <vector>

#include "adapter/adapter.h"
#include "adapter/strategy.h"
#include "api/ops.h"
#include "api/request.h"

namespace kesvo {

namespace {

Result<AdapterView> request_adapter(const Value& request) {
  return req_typed<AdapterView>(request, "adapter", [](const Value& v) { return adapter_view_from_json(v); });
}

}  // namespace

Result<Value> op_adapter_write(OpCall& call) {
  const AdapterView adapter = KESVO_TRY(request_adapter(call.request));
  const Value& commands = call.request["commands"];
  std::vector<const Value*> handled;
  Array unhandled;
  if (commands.is_array()) {
    for (const Value& command : commands.as_array()) {
      const std::string_view code = command["code"].string_or_empty();
      bool known = false;
      for (const Member& m : *adapter.entries) {
        if (entry_code(m.value) == code) {
          known = true;
          break;
        }
      }
      if (known) {
        handled.push_back(&command);
      } else {
        unhandled.push_back(command["code"]);
      }
    }
  }
  Value writes = Value::object();
  if (!handled.empty()) writes = KESVO_TRY(adapter_write(adapter, handled));
  Array out;
  out.reserve(2);
  out.push_back(std::move(writes));
  out.emplace_back(std::move(unhandled));
  return Value(std::move(out));
}

Result<Value> op_strategy_write(OpCall& call) {
  const Value& req = call.request;
  return strategy_write(req_string(req, "name"), req["value"], req["config"]);
}

Result<Value> op_adapter_create(OpCall& call) {
  const Value& req = call.request;
  return adapter_to_json(adapter_create(req["device"], req["dpmap"], call.rules->document()));
}

Result<Value> op_adapter_read(OpCall& call) {
  const AdapterView adapter = KESVO_TRY(request_adapter(call.request));
  return adapter_read(adapter, call.request["dps"], call.rules->document());
}

Result<Value> op_strategy_read(OpCall& call) {
  const Value& req = call.request;
  auto r = strategy_read(req_string(req, "name"), req["value"], req["config"], call.rules->document());
  if (!r.ok()) return fail(ErrorKind::Invalid, std::move(r).error());
  return std::move(r).value();
}

}  // namespace kesvo
