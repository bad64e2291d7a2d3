#include "frame_cycle_floor_gl.h"

#include <array>
#include <cstdio>
#include <vector>

#include "pedalyx/imaging/canvas_geometry.h"

namespace {

const char* const kVertexShader = R"(#version 120
void main() {
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_FrontColor = gl_Color;
  gl_Position = ftransform();
})";

// The same arithmetic as the station's shader, one pass per program.
const char* const kWarpShader = R"(#version 120
uniform sampler2D camera;
void main() { gl_FragColor = vec4(texture2D(camera, gl_TexCoord[0].st).rgb, 1.0); })";

const char* const kCleanShader = R"(#version 120
uniform sampler2D ring0, ring1, ring2, background;
float toByte(float unit) { return floor(unit * 255.0 + 0.5); }
void main() {
  vec2 uv = gl_TexCoord[0].st;
  float ring = toByte(texture2D(ring0, uv).g) + toByte(texture2D(ring1, uv).g) +
               toByte(texture2D(ring2, uv).g);
  float glow = ring / 3.0 - toByte(texture2D(background, uv).g);
  float q = clamp(floor(glow * 256.0 + 0.5), 0.0, 65535.0);
  float high = floor(q / 256.0);
  gl_FragColor = vec4(high / 255.0, (q - high * 256.0) / 255.0, 0.0, 1.0);
})";

const char* const kLevelShader = R"(#version 120
uniform sampler2D cleaned;
uniform float noise, gen;
float toByte(float unit) { return floor(unit * 255.0 + 0.5); }
void main() {
  vec4 c = texture2D(cleaned, gl_TexCoord[0].st);
  float glow = (toByte(c.r) * 256.0 + toByte(c.g)) / 256.0;
  float value = clamp(floor(glow * (255.0 / 230.0) * (gen / 6.0) + 0.5), 1.0, 255.0);
  gl_FragColor = vec4(0.0, (c.b > 0.5 || glow <= noise) ? 0.0 : value / 255.0, 0.0, 1.0);
})";

const char* const kColourShader = R"(#version 120
uniform sampler2D level;
uniform sampler1D table;
void main() {
  float index = floor(texture2D(level, gl_TexCoord[0].st).g * 255.0 + 0.5);
  gl_FragColor = vec4(texture1D(table, (index + 0.5) / 256.0).rgb, 1.0);
})";

GLuint compile(GLenum kind, const char* source) {
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    char log[2048];
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::printf("floor shader did not compile:\n%s\n", log);
  }
  return shader;
}

// The floor keeps to texture units of its own, above the eight the station's pipeline keeps its
// textures bound on, so the two can run alternately in one context.
constexpr int kFirstUnit = 8;

// Links a program and binds its samplers to units kFirstUnit, +1, +2, ... in the order given.
GLuint link(const char* fragmentSource, std::initializer_list<const char*> samplers) {
  GLuint program = glCreateProgram();
  GLuint vertex = compile(GL_VERTEX_SHADER, kVertexShader);
  GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentSource);
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint ok = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (ok != GL_TRUE) std::printf("floor program did not link\n");
  glUseProgram(program);
  int unit = kFirstUnit;
  for (const char* name : samplers) glUniform1i(glGetUniformLocation(program, name), unit++);
  glUseProgram(0);
  return program;
}

GLuint texture2D(int width, int height, GLenum filter) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  return name;
}

void bindTextures(std::initializer_list<GLuint> textures) {
  int unit = kFirstUnit;
  for (GLuint texture : textures) {
    glActiveTexture(GL_TEXTURE0 + unit++);
    glBindTexture(GL_TEXTURE_2D, texture);
  }
  glActiveTexture(GL_TEXTURE0);
}

void projection(int width, int height) {
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, 0, height, 0, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void quad(int width, int height) {
  glBegin(GL_QUADS);
  glTexCoord2f(1, 1);
  glVertex2i(width, height);
  glTexCoord2f(0, 1);
  glVertex2i(0, height);
  glTexCoord2f(0, 0);
  glVertex2i(0, 0);
  glTexCoord2f(1, 0);
  glVertex2i(width, 0);
  glEnd();
}

}  // namespace

FrameCycleFloor::FrameCycleFloor(const CalibrationGrid& left, const CalibrationGrid& right,
                                 const unsigned char* table) {
  glActiveTexture(GL_TEXTURE0 + kFirstUnit);
  glGenTextures(1, &camera_);
  glBindTexture(GL_TEXTURE_2D, camera_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kCameraWidth, kCameraHeight, 0, GL_RGB, GL_UNSIGNED_BYTE,
               nullptr);
  // Every pass but the colour pass reads its sources at texel centres, where nearest sampling
  // gives what linear gives; the colour pass magnifies the levels and keeps linear.
  for (int t = 0; t < kTargetCount; ++t) {
    targets_[t] = texture2D(kCanvasWidth, kCanvasHeight, t == kLevel ? GL_LINEAR : GL_NEAREST);
    glGenFramebuffers(1, &framebuffers_[t]);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffers_[t]);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targets_[t], 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
      std::printf("floor framebuffer %d is incomplete\n", t);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glGenTextures(1, &table_);
  glBindTexture(GL_TEXTURE_1D, table_);
  glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, table);
  glActiveTexture(GL_TEXTURE0);

  warpProgram_ = link(kWarpShader, {"camera"});
  cleanProgram_ = link(kCleanShader, {"ring0", "ring1", "ring2", "background"});
  levelProgram_ = link(kLevelShader, {"cleaned"});
  noiseLocation_ = glGetUniformLocation(levelProgram_, "noise");
  genLocation_ = glGetUniformLocation(levelProgram_, "gen");
  colourProgram_ = link(kColourShader, {"level", "table"});

  // Both meshes once, as the station's warp draws them.
  std::vector<WarpVertex> mesh;
  std::array<WarpVertex, kWarpVertexCount> one;
  int n = warpMeshVertices(left, kLeftStripX, one);
  mesh.insert(mesh.end(), one.begin(), one.begin() + n);
  n = warpMeshVertices(right, kRightStripX, one);
  mesh.insert(mesh.end(), one.begin(), one.begin() + n);
  meshVertices_ = static_cast<GLsizei>(mesh.size());
  glGenBuffers(1, &meshBuffer_);
  glBindBuffer(GL_ARRAY_BUFFER, meshBuffer_);
  glBufferData(GL_ARRAY_BUFFER, mesh.size() * sizeof(WarpVertex), mesh.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

FrameCycleFloor::~FrameCycleFloor() {
  glDeleteBuffers(1, &meshBuffer_);
  for (GLuint program : {warpProgram_, cleanProgram_, levelProgram_, colourProgram_})
    glDeleteProgram(program);
  glDeleteFramebuffers(kTargetCount, framebuffers_);
  glDeleteTextures(kTargetCount, targets_);
  glDeleteTextures(1, &camera_);
  glDeleteTextures(1, &table_);
}

void FrameCycleFloor::drawToTarget(Target target) {
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffers_[target]);
  projection(kCanvasWidth, kCanvasHeight);
}

void FrameCycleFloor::warp(const unsigned char* frame, bool toBackground, int slot) {
  drawToTarget(toBackground ? kBackground : static_cast<Target>(kRing0 + slot));
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glActiveTexture(GL_TEXTURE0 + kFirstUnit);
  glBindTexture(GL_TEXTURE_2D, camera_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kCameraWidth, kCameraHeight, GL_RGB, GL_UNSIGNED_BYTE,
                  frame);
  glActiveTexture(GL_TEXTURE0);
  glUseProgram(warpProgram_);
  glBindBuffer(GL_ARRAY_BUFFER, meshBuffer_);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, sizeof(WarpVertex), nullptr);
  glVertexPointer(2, GL_INT, sizeof(WarpVertex),
                  reinterpret_cast<const void*>(offsetof(WarpVertex, x)));
  glDrawArrays(GL_QUADS, 0, meshVertices_);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glUseProgram(0);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void FrameCycleFloor::levels(float noise, float gen, unsigned char* levels) {
  drawToTarget(kCleaned);
  bindTextures({targets_[kRing0], targets_[kRing1], targets_[kRing2], targets_[kBackground]});
  glUseProgram(cleanProgram_);
  quad(kCanvasWidth, kCanvasHeight);
  glUseProgram(0);
  static const int kMask[][4] = {{0, 10, 0, 335},    {310, 320, 0, 335}, {118, 202, 0, 335},
                                 {0, 320, 325, 335}, {0, 160, 0, 15},    {160, 320, 0, 15}};
  glColor3f(0, 0, 1);
  for (const auto& r : kMask) glRecti(r[0], r[2], r[1], r[3]);
  glColor3f(1, 1, 1);

  drawToTarget(kLevel);
  bindTextures({targets_[kCleaned]});
  glUseProgram(levelProgram_);
  glUniform1f(noiseLocation_, noise);
  glUniform1f(genLocation_, gen);
  quad(kCanvasWidth, kCanvasHeight);
  glUseProgram(0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kCanvasWidth, kCanvasHeight, GL_GREEN, GL_UNSIGNED_BYTE, levels);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void FrameCycleFloor::colour(int width, int height) {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  projection(width, height);
  glActiveTexture(GL_TEXTURE0 + kFirstUnit + 1);
  glBindTexture(GL_TEXTURE_1D, table_);
  bindTextures({targets_[kLevel]});
  glUseProgram(colourProgram_);
  quad(width, height);
  glUseProgram(0);
}

void FrameCycleFloor::cycle(const unsigned char* frame, int slot, float noise, float gen,
                            unsigned char* levels, int viewWidth, int viewHeight) {
  warp(frame, false, slot);
  this->levels(noise, gen, levels);
  colour(viewWidth, viewHeight);
  glFinish();
}
