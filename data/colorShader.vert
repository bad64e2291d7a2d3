// Pressure pipeline vertex stage: passes the texture coordinate through and places the vertex
// with the fixed-function matrices the view sets (orthographic canvas or view pixels).
#version 120

void main() {
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_FrontColor = gl_Color;
  gl_Position = ftransform();
}
