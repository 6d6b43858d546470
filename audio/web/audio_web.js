// The page's side of the Web Audio device and of the browser-decoded sounds, as an Emscripten
// library. Every function runs on the page's thread: a worker's call waits there for it.
mergeInto(LibraryManager.library, {
  // A 48 kHz context with a ScriptProcessorNode pulling `frames` frames at a time from the device
  // into `buffer` (int16, interleaved) and an AnalyserNode behind it; 1, or 0 when there is none.
  // Counts frames fed, those not silent, and the largest sample magnitude, for the page to see.
  tesserine_audio_web_open__proxy: 'sync',
  tesserine_audio_web_open__sig: 'iiiii',
  tesserine_audio_web_open: function(device, buffer, frames, lost) {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return 0;
    var context;
    try {
      context = new Context({ sampleRate: 48000 });
    } catch (e) {
      return 0;
    }
    if (context.sampleRate !== 48000) {
      context.close();
      return 0;
    }
    var node = context.createScriptProcessor(frames, 0, 2);
    var analyser = context.createAnalyser();
    var state = { context: context, node: node, analyser: analyser, fedFrames: 0, loudFrames: 0,
                  peak: 0, closing: false, gestures: ['keydown', 'pointerdown', 'mousedown', 'touchstart'] };
    node.onaudioprocess = function(event) {
      var out = event.outputBuffer;
      var count = Math.min(out.length, frames);
      _tesserine_audio_web_fill(device, count);
      var left = out.getChannelData(0), right = out.getChannelData(1);
      var at = buffer >> 1;
      for (var i = 0; i < count; ++i) {
        var l = HEAP16[at + 2 * i], r = HEAP16[at + 2 * i + 1];
        left[i] = l / 32768;
        right[i] = r / 32768;
        if (l !== 0 || r !== 0) ++state.loudFrames;
        state.peak = Math.max(state.peak, Math.abs(l), Math.abs(r));
      }
      state.fedFrames += count;
    };
    node.connect(analyser);
    analyser.connect(context.destination);
    // The browser's rule: sound starts after the first gesture the page handles.
    state.resume = function() {
      if (context.state === 'suspended') context.resume();
    };
    state.gestures.forEach(function(name) {
      window.addEventListener(name, state.resume, { capture: true });
    });
    context.onstatechange = function() {
      if (context.state === 'closed' && !state.closing) Atomics.store(HEAP32, lost >> 2, 1);
    };
    Module['tesserineAudio'] = state;
    return 1;
  },

  // Stops the callbacks and closes the context; after it no pull starts.
  tesserine_audio_web_close__proxy: 'sync',
  tesserine_audio_web_close__sig: 'v',
  tesserine_audio_web_close: function() {
    var state = Module['tesserineAudio'];
    if (!state) return;
    state.closing = true;
    state.node.onaudioprocess = null;
    state.node.disconnect();
    state.gestures.forEach(function(name) {
      window.removeEventListener(name, state.resume, { capture: true });
    });
    state.context.close();
    delete Module['tesserineAudio'];
  },

  // Frames of the decoded sound of this name, -1 when the page decoded none.
  tesserine_audio_web_sound_frames__proxy: 'sync',
  tesserine_audio_web_sound_frames__sig: 'ii',
  tesserine_audio_web_sound_frames: function(name) {
    var samples = (Module['tesserineSounds'] || {})[UTF8ToString(name)];
    return samples ? samples.length >> 1 : -1;
  },

  // Copies the decoded sound of this name to `out`, which has room for all of it.
  tesserine_audio_web_sound_copy__proxy: 'sync',
  tesserine_audio_web_sound_copy__sig: 'vii',
  tesserine_audio_web_sound_copy: function(name, out) {
    HEAP16.set(Module['tesserineSounds'][UTF8ToString(name)], out >> 1);
  },
});
