#include "engine/core/ccShaders.h"

const char ccPositionTextureColor_vert[] = R"(
attribute vec4 a_position;
attribute vec4 a_color;
attribute vec2 a_texCoord;

#ifdef GL_ES
varying lowp vec4 v_fragmentColor;
varying mediump vec2 v_texCoord;
#else
varying vec4 v_fragmentColor;
varying vec2 v_texCoord;
#endif

void main()
{
    gl_Position = CC_MVPMatrix * a_position;
    v_fragmentColor = a_color;
    v_texCoord = a_texCoord;
}
)";

const char ccPositionTextureColor_frag[] = R"(
#ifdef GL_ES
precision lowp float;
#endif

varying vec4 v_fragmentColor;
varying vec2 v_texCoord;
uniform sampler2D CC_Texture0;

void main()
{
    gl_FragColor = v_fragmentColor * texture2D(CC_Texture0, v_texCoord);
}
)";

const char ccPositionTextureColorAlphaTest_frag[] = R"(
#ifdef GL_ES
precision lowp float;
#endif

varying vec4 v_fragmentColor;
varying vec2 v_texCoord;
uniform sampler2D CC_Texture0;
uniform float CC_alpha_value;

void main()
{
    vec4 texColor = texture2D(CC_Texture0, v_texCoord);
    if (texColor.a <= CC_alpha_value)
        discard;
    gl_FragColor = texColor * v_fragmentColor;
}
)";

const char ccPositionColor_vert[] = R"(
attribute vec4 a_position;
attribute vec4 a_color;

#ifdef GL_ES
varying lowp vec4 v_fragmentColor;
#else
varying vec4 v_fragmentColor;
#endif

void main()
{
    gl_Position = CC_MVPMatrix * a_position;
    v_fragmentColor = a_color;
}
)";

const char ccPositionColor_frag[] = R"(
#ifdef GL_ES
precision lowp float;
#endif

varying vec4 v_fragmentColor;

void main()
{
    gl_FragColor = v_fragmentColor;
}
)";

const char ccPositionTexture_vert[] = R"(
attribute vec4 a_position;
attribute vec2 a_texCoord;

#ifdef GL_ES
varying mediump vec2 v_texCoord;
#else
varying vec2 v_texCoord;
#endif

void main()
{
    gl_Position = CC_MVPMatrix * a_position;
    v_texCoord = a_texCoord;
}
)";

const char ccPositionTexture_frag[] = R"(
#ifdef GL_ES
precision lowp float;
#endif

varying vec2 v_texCoord;
uniform sampler2D CC_Texture0;

void main()
{
    gl_FragColor = texture2D(CC_Texture0, v_texCoord);
}
)";

const char ccPositionTexture_uColor_frag[] = R"(
#ifdef GL_ES
precision lowp float;
#endif

varying vec2 v_texCoord;
uniform sampler2D CC_Texture0;
uniform vec4 u_color;

void main()
{
    gl_FragColor = texture2D(CC_Texture0, v_texCoord) * u_color;
}
)";

const char ccPositionTextureA8Color_frag[] = R"(
#ifdef GL_ES
precision lowp float;
#endif

varying vec4 v_fragmentColor;
varying vec2 v_texCoord;
uniform sampler2D CC_Texture0;

void main()
{
    gl_FragColor = vec4(v_fragmentColor.rgb, v_fragmentColor.a * texture2D(CC_Texture0, v_texCoord).a);
}
)";

const char ccPosition_uColor_vert[] = R"(
attribute vec4 a_position;
uniform float u_pointSize;

void main()
{
    gl_Position = CC_MVPMatrix * a_position;
    gl_PointSize = u_pointSize;
}
)";

const char ccPosition_uColor_frag[] = R"(
#ifdef GL_ES
precision lowp float;
#endif

uniform vec4 u_color;

void main()
{
    gl_FragColor = u_color;
}
)";

const char ccPositionLengthTextureColor_vert[] = R"(
attribute vec4 a_position;
attribute vec2 a_texCoord;
attribute vec4 a_color;

#ifdef GL_ES
varying lowp vec4 v_color;
varying mediump vec2 v_texcoord;
#else
varying vec4 v_color;
varying vec2 v_texcoord;
#endif

void main()
{
    v_color = vec4(a_color.rgb * a_color.a, a_color.a);
    v_texcoord = a_texCoord;
    gl_Position = CC_MVPMatrix * a_position;
}
)";

// Desktop GLSL has fwidth built in. GLSL ES has it only through an extension, and no extension
// line may follow the uniform header, so there the edge is hard.
const char ccPositionLengthTextureColor_frag[] = R"(
#ifdef GL_ES
precision lowp float;
#endif

varying vec4 v_color;
varying vec2 v_texcoord;

void main()
{
#ifdef GL_ES
    gl_FragColor = v_color * step(0.0, 1.0 - length(v_texcoord));
#else
    gl_FragColor = v_color * smoothstep(0.0, length(fwidth(v_texcoord)), 1.0 - length(v_texcoord));
#endif
}
)";
