// Pressure pipeline fragment stage. SHADER_STATE selects the pass:
//   3 warp:   copy the camera frame (uploaded B G R as R G B: texture green is camera green).
//   1 clean:  glow above the empty plate, d = mean green of the three ring frames minus the
//             background's green, in camera units, stored with 16-bit precision
//             (red = high byte, green = low byte of round(256 d)); blue stays 0 so the blue
//             mask drawn over this image afterwards is recognised by the level pass.
//   2 level:  level = 0 where blue or d <= noise, else clamp(round(d * 255/230 * gen/6), 1, 255)
//             in the green channel. 230 camera units of green glow are the plate's full scale,
//             so at the default tone density 6 the level is the plate's load on 0..255.
//   0 colour: the colour table's entry of the level, exactly.
// The station compiles this file once per pass with SHADER_PASS defined to the pass, so each
// program holds only its own pass's arithmetic and texture reads; without it the uniform
// chooses.
#version 120

uniform sampler1D colorTable;
uniform sampler2D cvOrigin;
uniform sampler2D cvTexture;
uniform sampler2D cvTexture2;
uniform sampler2D cvTexture3;
uniform sampler2D cvTexture_RESULT;
uniform sampler2D cvTexture_First;
uniform sampler2D cvTexture_RESULT_2;
uniform int SHADER_STATE;
uniform float noise;
uniform float gen;

const float kFullScaleGlow = 230.0;
const float kDefaultGen = 6.0;

float toByte(float unit) { return floor(unit * 255.0 + 0.5); }

vec4 warp(vec2 uv) { return vec4(texture2D(cvTexture_First, uv).rgb, 1.0); }

vec4 clean(vec2 uv) {
  float ring = toByte(texture2D(cvTexture, uv).g) + toByte(texture2D(cvTexture2, uv).g) +
               toByte(texture2D(cvTexture3, uv).g);
  float glow = ring / 3.0 - toByte(texture2D(cvOrigin, uv).g);
  float q = clamp(floor(glow * 256.0 + 0.5), 0.0, 65535.0);
  float high = floor(q / 256.0);
  float low = q - high * 256.0;
  return vec4(high / 255.0, low / 255.0, 0.0, 1.0);
}

vec4 level(vec2 uv) {
  vec4 cleaned = texture2D(cvTexture_RESULT, uv);
  if (cleaned.b > 0.5) return vec4(0.0, 0.0, 0.0, 1.0);
  float glow = (toByte(cleaned.r) * 256.0 + toByte(cleaned.g)) / 256.0;
  if (glow <= noise) return vec4(0.0, 0.0, 0.0, 1.0);
  float value = clamp(floor(glow * (255.0 / kFullScaleGlow) * (gen / kDefaultGen) + 0.5), 1.0,
                      255.0);
  return vec4(0.0, value / 255.0, 0.0, 1.0);
}

vec4 colour(vec2 uv) {
  float index = toByte(texture2D(cvTexture_RESULT_2, uv).g);
  return vec4(texture1D(colorTable, (index + 0.5) / 256.0).rgb, 1.0);
}

#ifdef SHADER_PASS
#define PASS SHADER_PASS
#else
#define PASS SHADER_STATE
#endif

void main() {
  vec2 uv = gl_TexCoord[0].st;
  if (PASS == 3)
    gl_FragColor = warp(uv);
  else if (PASS == 1)
    gl_FragColor = clean(uv);
  else if (PASS == 2)
    gl_FragColor = level(uv);
  else
    gl_FragColor = colour(uv);
}
