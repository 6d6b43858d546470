// Decodes, before the program starts, the compressed sounds the page names in
// Module.tesserineSoundFiles: each is fetched next to the page, written to the virtual file system
// under its name and decoded by the browser into 48 kHz stereo int16 (Module.tesserineSounds), which
// the engine's browser decoder then hands out. A sound that cannot be had is left out; loading it
// then fails in the program as a missing or unknown file does.
if (typeof ENVIRONMENT_IS_PTHREAD === 'undefined' || !ENVIRONMENT_IS_PTHREAD) {
  Module['preRun'] = [].concat(Module['preRun'] || [], function() {
    Module['tesserineSounds'] = Module['tesserineSounds'] || {};
    (Module['tesserineSoundFiles'] || []).forEach(function(name) {
      var dependency = 'tesserine sound ' + name;
      addRunDependency(dependency);
      fetch(name).then(function(response) {
        if (!response.ok) throw new Error(name + ': ' + response.status);
        return response.arrayBuffer();
      }).then(function(bytes) {
        FS.writeFile(name, new Uint8Array(bytes));
        var context = new OfflineAudioContext(2, 1, 48000);
        return context.decodeAudioData(bytes);
      }).then(function(decoded) {
        var left = decoded.getChannelData(0);
        var right = decoded.numberOfChannels > 1 ? decoded.getChannelData(1) : left;
        var samples = new Int16Array(decoded.length * 2);
        var toInt = function(v) {
          return Math.max(-32768, Math.min(32767, Math.round(v * 32768)));
        };
        for (var i = 0; i < decoded.length; ++i) {
          samples[2 * i] = toInt(left[i]);
          samples[2 * i + 1] = toInt(right[i]);
        }
        Module['tesserineSounds'][name] = samples;
      }).catch(function(error) {
        err('sound ' + name + ' not decoded: ' + error);
      }).finally(function() {
        removeRunDependency(dependency);
      });
    });
  });
}
