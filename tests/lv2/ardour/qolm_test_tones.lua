ardour {
	["type"]    = "dsp",
	name        = "Qolm Test Tones",
	category    = "Utility",
	license     = "MIT",
	author      = "Qolm tests",
	description = [[100 Hz and 5 kHz at 0.25 each, added to the input]]
}

function dsp_ioconfig ()
	return { { audio_in = 2, audio_out = 2 } }
end

local rate = 48000
local pos = 0

function dsp_init (r)
	rate = r
end

function dsp_run (ins, outs, n_samples)
	for c = 1, #outs do
		if ins[c] ~= outs[c] then
			ARDOUR.DSP.copy_vector (outs[c], ins[c], n_samples)
		end
	end
	for c = 1, #outs do
		local a = outs[c]:array ()
		for s = 1, n_samples do
			local t = (pos + s - 1) / rate
			a[s] = a[s] + 0.25 * math.sin (2 * math.pi * 100 * t) + 0.25 * math.sin (2 * math.pi * 5000 * t)
		end
	end
	pos = pos + n_samples
end
