// The engine, compiled to WebAssembly, seen from JavaScript: strings go in as UTF-8
// written straight into the module's memory and come out through TextDecoder. The
// engine keeps one result at a time, so each call reads it before returning.
import createEngine from './engine.js';

export const EngArm = 0;
export const ArmEng = 1;

// What a file holds, as the engine numbers it.
export const Kind = Object.freeze({ Saved: 0, EightBit: 1, Utf8: 2, Utf16: 3, Binary: 4 });

const encoder = new TextEncoder();
// A U+FEFF that opens a result is text the engine kept; by default the decoder would
// take it for a byte-order mark and drop it.
const decoder = new TextDecoder('utf-8', { ignoreBOM: true });

export async function loadEngine(wasmUrl) {
  const module = await createEngine(wasmUrl ? { locateFile: () => wasmUrl } : {});

  // A UTF-16 unit takes at most three bytes of UTF-8.
  const putText = (text) => {
    const room = text.length * 3;
    const at = module._vesnor_input(room);
    return encoder.encodeInto(text, module.HEAPU8.subarray(at, at + room)).written;
  };
  const putBytes = (bytes) => {
    const at = module._vesnor_input(bytes.length);
    module.HEAPU8.set(bytes, at);
    return bytes.length;
  };
  const resultBytes = () => {
    const at = module._vesnor_result();
    return module.HEAPU8.subarray(at, at + module._vesnor_result_size());
  };
  const resultText = () => decoder.decode(resultBytes());

  return {
    version: (() => {
      const at = module._vesnor_version();
      return decoder.decode(module.HEAPU8.subarray(at, module.HEAPU8.indexOf(0, at)));
    })(),

    // `text` opens the whole text, or is lines from later in it.
    convert(direction, text, textStart = true) {
      module._vesnor_convert(direction, putText(text), textStart ? 1 : 0);
      return resultText();
    },

    // Save's file for this text, as a copy that outlives the next call.
    savedFile(text) {
      module._vesnor_save(putText(text));
      return resultBytes().slice();
    },

    unencodable(text) {
      module._vesnor_unencodable(putText(text));
      return [...resultText()];
    },

    // A file's bytes as the input box takes them: { kind, text }.
    open(bytes) {
      const kind = module._vesnor_open(putBytes(bytes));
      return { kind, text: kind === Kind.Binary ? '' : resultText() };
    },

    chart() {
      module._vesnor_chart();
      const [heading, ...lines] = resultText().trimEnd().split('\n');
      const columns = [[], [], []];
      for (const line of lines) {
        const [column, letter, key] = line.split('\t');
        columns[Number(column) - 1].push({ letter, key });
      }
      return { heading, columns };
    },
  };
}
