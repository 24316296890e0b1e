// The read and write functions of the strategy families, as the registry
// lists them. Hosts reach them only through strategy_read and
// strategy_write, which have already dealt with null raw values.
#pragma once

#include <string>

#include "core/json.h"
#include "core/result.h"

namespace kesvo::strategies {

using ReadResult = Result<Value, std::string>;

// Generic strategies.
ReadResult default_read(const Value& raw, const Value& config, const Value& rules);
Result<Value> default_write(const Value& value, const Value& config);
ReadResult enum_read(const Value& raw, const Value& config, const Value& rules);
Result<Value> enum_write(const Value& value, const Value& config);

// Light and colour.
ReadResult hb_range_v1_read(const Value& raw, const Value& config, const Value& rules);
ReadResult hb_range_v2_read(const Value& raw, const Value& config, const Value& rules);
ReadResult hb_jsq_lightv1_read(const Value& raw, const Value& config, const Value& rules);
Result<Value> hb_jsq_lightv1_write(const Value& value, const Value& config);
ReadResult dj_v1_hsv_read(const Value& raw, const Value& config, const Value& rules);
ReadResult voice_atm_color_read(const Value& raw, const Value& config, const Value& rules);
Result<Value> hsv14_write(const Value& value, const Value& config);
ReadResult hb_djv1_color_read(const Value& raw, const Value& config, const Value& rules);
ReadResult dj_v2_color_read(const Value& raw, const Value& config, const Value& rules);
Result<Value> dj_v2_color_write(const Value& value, const Value& config);
ReadResult dj_v2_control_read(const Value& raw, const Value& config, const Value& rules);
Result<Value> dj_v2_control_write(const Value& value, const Value& config);
ReadResult dj_v2_scene_read(const Value& raw, const Value& config, const Value& rules);
Result<Value> dj_v2_scene_write(const Value& value, const Value& config);
ReadResult dj_v1_scene_read(const Value& raw, const Value& config, const Value& rules);

// Timers, DP lists and cleaning records.
ReadResult cz_timer1_read(const Value& raw, const Value& config, const Value& rules);
Result<Value> cz_timer1_write(const Value& value, const Value& config);
ReadResult cz_timer2_read(const Value& raw, const Value& config, const Value& rules);
Result<Value> cz_timer2_write(const Value& value, const Value& config);
ReadResult ms_dp_syn_read(const Value& raw, const Value& config, const Value& rules);
ReadResult sd_clean_record_read(const Value& raw, const Value& config, const Value& rules);

// Energy metering.
ReadResult db_v1_params_read(const Value& raw, const Value& config, const Value& rules);
ReadResult db_v1_daily_read(const Value& raw, const Value& config, const Value& rules);
ReadResult db_v1_month_read(const Value& raw, const Value& config, const Value& rules);
ReadResult db_v1_frozen_read(const Value& raw, const Value& config, const Value& rules);
ReadResult db_v1_alarm_read(const Value& raw, const Value& config, const Value& rules);

}  // namespace kesvo::strategies
