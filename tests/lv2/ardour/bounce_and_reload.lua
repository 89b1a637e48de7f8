-- Run by ardour7-lua for the LV2 tests: a session with one stereo track whose
-- tone generator feeds Qolm (loaded by its LV2 URI) with Cut Off at 1000 Hz,
-- two seconds bounced to files, the session saved, closed and loaded again.
-- Prints the bounced files and, after the reload, the plug-in's controls.
local folder = os.getenv ("QOLM_SESSION")
AudioEngine:set_backend ("None (Dummy)", "", "")
local s = create_session (folder, "qolm", 48000)
assert (s, "no session")
local track = s:new_audio_track (2, 2, nil, 1, "Tones", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front ()
local tones = ARDOUR.LuaAPI.new_luaproc (s, "Qolm Test Tones")
assert (not tones:isnil (), "no tone generator")
track:add_processor_by_index (tones, 0, nil, true)
local qolm = ARDOUR.LuaAPI.new_plugin (s, "https://vrax.example/plugins/qolm", ARDOUR.PluginType.LV2, "")
assert (not qolm:isnil (), "Qolm not found")
track:add_processor_by_index (qolm, 1, nil, true)
-- Input controls in port order: Gain, Cut Off, Res, Enabled.
ARDOUR.LuaAPI.set_processor_param (qolm, 1, 1000)
local region = track:bounce_range (0, 96000, ARDOUR.InterThreadInfo (), track:main_outs (), false, "bounce")
assert (not region:isnil (), "bounce failed")
for i = 0, region:to_audioregion ():n_channels () - 1 do
	print ("bounced: " .. region:source (i):to_filesource ():path ())
end
s:save_state ("", false, false, false, false, false)
close_session ()

s = load_session (folder, "qolm")
assert (s, "reload failed")
for r in s:get_routes ():iter () do
	local proc = r:nth_plugin (1)
	if not proc:isnil () then
		print ("reloaded: " .. proc:to_insert ():plugin (0):get_info ().unique_id)
		for p = 0, 3 do
			print (string.format ("control %d = %g", p, ARDOUR.LuaAPI.get_processor_param (proc, p)))
		end
	end
end
close_session ()
