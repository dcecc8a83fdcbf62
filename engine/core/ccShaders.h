#pragma once

// GLSL texts of the built-in programs. Each is compiled behind the uniform header of CCGLProgram,
// so it uses "CC_MVPMatrix" and the other built-in uniforms without declaring them, and carries no
// version or extension line (nothing of that kind may follow the header). Precision statements
// sit under GL_ES, which a desktop context does not define.
//
// Attributes: "a_position", "a_color" (the vertex colour, normalised to 0-1) and "a_texCoord";
// "CC_Texture0" is the sampler on texture unit 0.

// Clip position, vertex colour and texture coordinates passed on; shared by the texture-and-colour
// programs (plain, alpha test, A8).
extern const char ccPositionTextureColor_vert[];
// Vertex colour x texel.
extern const char ccPositionTextureColor_frag[];
// Texel x vertex colour; fragments whose texel alpha is at most "CC_alpha_value" are discarded.
extern const char ccPositionTextureColorAlphaTest_frag[];

extern const char ccPositionColor_vert[];
// The vertex colour.
extern const char ccPositionColor_frag[];

// Clip position and texture coordinates; shared by the texture-only programs.
extern const char ccPositionTexture_vert[];
// The texel.
extern const char ccPositionTexture_frag[];
// Texel x "u_color".
extern const char ccPositionTexture_uColor_frag[];

// Rgb of the vertex colour, alpha = vertex alpha x texel alpha (alpha-only textures).
extern const char ccPositionTextureA8Color_frag[];

// Clip position; point size "u_pointSize".
extern const char ccPosition_uColor_vert[];
// "u_color" everywhere.
extern const char ccPosition_uColor_frag[];

// Premultiplied vertex colour and the texture coordinate, which runs from -1 to 1 across a dot or
// across the width of a segment.
extern const char ccPositionLengthTextureColor_vert[];
// The colour fading to nothing over one pixel where the coordinate's length reaches 1.
extern const char ccPositionLengthTextureColor_frag[];
