#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/Object.h"

// Attribute names bound to the fixed indices of ccGLStateCache.h.
inline constexpr const char* kCCAttributeNamePosition = "a_position";
inline constexpr const char* kCCAttributeNameColor = "a_color";
inline constexpr const char* kCCAttributeNameTexCoord = "a_texCoord";

// The built-in uniforms, in the order of the program's location table.
enum {
    kCCUniformPMatrix,
    kCCUniformMVMatrix,
    kCCUniformMVPMatrix,
    kCCUniformTime,
    kCCUniformSinTime,
    kCCUniformCosTime,
    kCCUniformRandom01,
    kCCUniformSampler,
    kCCUniform_MAX,
};

inline constexpr const char* kCCUniformPMatrix_s = "CC_PMatrix";
inline constexpr const char* kCCUniformMVMatrix_s = "CC_MVMatrix";
inline constexpr const char* kCCUniformMVPMatrix_s = "CC_MVPMatrix";
inline constexpr const char* kCCUniformTime_s = "CC_Time";
inline constexpr const char* kCCUniformSinTime_s = "CC_SinTime";
inline constexpr const char* kCCUniformCosTime_s = "CC_CosTime";
inline constexpr const char* kCCUniformRandom01_s = "CC_Random01";
inline constexpr const char* kCCUniformSampler_s = "CC_Texture0";
// The threshold of the alpha-test program, set by its users.
inline constexpr const char* kCCUniformAlphaTestValue_s = "CC_alpha_value";

// One linked vertex + fragment program. Both sources are compiled behind a header declaring the
// built-in uniforms (matrices, time, random), the attribute names are bound to fixed indices
// before linking, and afterwards the built-in uniform locations are looked up.
//
// Uniform uploads go through a per-location record of the last bytes sent, so an upload of the
// same bytes again never reaches GL. The record belongs to this program: each program has its own
// uniform state in GL.
//
// Set-up order: initWith..., addAttribute for each attribute, link, updateUniforms. Engine thread
// only, with the view's context current.
class CCGLProgram : public Object {
public:
    CCGLProgram() = default;

    // Creates the program and compiles and attaches each source that is not null. False, with the
    // compile log, when a source does not compile: a bad shader is the caller's to handle.
    bool initWithVertexShaderByteArray(const GLchar* vShaderByteArray, const GLchar* fShaderByteArray);
    // The same with the sources read from files (names resolved by CCFileUtils). False, logged,
    // when a file cannot be read.
    bool initWithVertexShaderFilename(const std::string& vShaderFilename, const std::string& fShaderFilename);

    // Binds the attribute name to the index; before link.
    void addAttribute(const std::string& attributeName, GLuint index);
    // Links and deletes the shader objects. False, with the program log, when GL does not link it.
    bool link();
    // Looks up the built-in uniform locations, makes the program current and points "CC_Texture0"
    // at texture unit 0.
    void updateUniforms();
    void use();

    // Uploads "CC_PMatrix", "CC_MVMatrix" and "CC_MVPMatrix" from the matrix stacks' tops, the
    // time uniforms when the program has any, and "CC_Random01" when it has it. Allocates nothing
    // once each location has been uploaded once.
    void setUniformsForBuiltins();
    void setUniformForModelViewProjectionMatrix() { setUniformsForBuiltins(); }

    // Uniform uploads, each reaching GL only when its bytes differ from the last ones sent to the
    // location. Location -1 (a uniform the program lacks) is ignored.
    void setUniformLocationWithI1(GLint location, GLint i1);
    void setUniformLocationWithF1(GLint location, GLfloat f1);
    void setUniformLocationWithF1(GLint location, GLfloat f1, GLfloat f2);
    void setUniformLocationWithF1(GLint location, GLfloat f1, GLfloat f2, GLfloat f3);
    void setUniformLocationWithF1(GLint location, GLfloat f1, GLfloat f2, GLfloat f3, GLfloat f4);
    // `count` vectors or matrices of `floats`, which holds at least that many.
    void setUniformLocationWith2fv(GLint location, const GLfloat* floats, uint64_t count);
    void setUniformLocationWith3fv(GLint location, const GLfloat* floats, uint64_t count);
    void setUniformLocationWith4fv(GLint location, const GLfloat* floats, uint64_t count);
    void setUniformLocationWithMatrix4fv(GLint location, const GLfloat* matrixArray, uint64_t count);

    // The uniform record: true when the bytes must be uploaded, that is when the location is not
    // negative and its last bytes differ (in size or content); the new bytes are then recorded.
    bool updateUniformLocation(GLint location, const void* data, uint64_t sizeOfData);

    // Location of a uniform of the linked program by name; -1 when it has none.
    GLint uniformLocation(const char* name) const;

    // Info logs; empty when GL has none.
    std::string vertexShaderLog() const;
    std::string fragmentShaderLog() const;
    std::string programLog() const;

    GLuint program() const { return program_; }

    // "<CCGLProgram = 0x... | Program = 3, VertexShader = 0, FragmentShader = 0>".
    std::string description() const override;

protected:
    ~CCGLProgram() override;

private:
    // Last bytes uploaded to one location; `stored` is false until the first upload.
    struct UniformValue {
        bool stored = false;
        std::vector<unsigned char> bytes;
    };

    // True when the source compiled; the shader object is kept in *shader either way, for its log.
    bool compileShader(GLuint* shader, GLenum type, const GLchar* source);
    using GetivFunction = PFNGLGETSHADERIVPROC;
    using InfoLogFunction = PFNGLGETSHADERINFOLOGPROC;
    static std::string logForOpenGLObject(GLuint object, GetivFunction infoFunc, InfoLogFunction logFunc);
    void deleteShaders();

    // Indexed by location: locations are small non-negative integers, and the per-draw lookups
    // must not hash or allocate.
    std::vector<UniformValue> uniformCache_;
    GLuint program_ = 0;
    GLuint vertShader_ = 0;  // non-zero only between compilation and link
    GLuint fragShader_ = 0;
    GLint uniforms_[kCCUniform_MAX] = {-1, -1, -1, -1, -1, -1, -1, -1};  // -1: not in the program
    bool usesTime_ = false;  // any of "CC_Time", "CC_SinTime", "CC_CosTime" is in the program
};
