#pragma once

// The hand-written limit of quad drawing that the GL benchmarks compare with: one program
// (position, colour, texture coordinates through one matrix), one vertex buffer holding every
// quad, one 32-bit index buffer and one glDrawElements.

#include <epoxy/gl.h>

#include <algorithm>
#include <vector>

#include "engine/core/ccTypes.h"
#include "engine/core/math/kmMat4.h"

// Needs a current GL context for its whole life, and leaves no program, vertex array or buffer
// bound after any of its calls.
class RawQuads {
public:
    // Buffers for `quads.size()` quads, filled with them.
    explicit RawQuads(const std::vector<ccV3F_C4B_T2F_Quad>& quads) : count_(quads.size()) {
        const GLuint vertex = compile(GL_VERTEX_SHADER, kVertexShader);
        const GLuint fragment = compile(GL_FRAGMENT_SHADER, kFragmentShader);
        program_ = glCreateProgram();
        glAttachShader(program_, vertex);
        glAttachShader(program_, fragment);
        glBindAttribLocation(program_, 0, "a_position");
        glBindAttribLocation(program_, 1, "a_color");
        glBindAttribLocation(program_, 2, "a_texCoord");
        glLinkProgram(program_);
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        mvp_ = glGetUniformLocation(program_, "u_mvp");
        glUseProgram(program_);
        glUniform1i(glGetUniformLocation(program_, "u_texture"), 0);
        glUseProgram(0);

        std::vector<GLuint> indices(count_ * 6);
        for (size_t i = 0; i < count_; ++i) {
            const auto first = static_cast<GLuint>(i * 4);
            const GLuint quad[] = {first, first + 1, first + 2, first + 3, first + 2, first + 1};
            std::copy(quad, quad + 6, &indices[i * 6]);
        }

        glGenVertexArrays(1, &vao_);
        glBindVertexArray(vao_);
        glGenBuffers(2, buffers_);
        glBindBuffer(GL_ARRAY_BUFFER, buffers_[0]);
        glBufferData(GL_ARRAY_BUFFER, count_ * sizeof(ccV3F_C4B_T2F_Quad), quads.data(), GL_DYNAMIC_DRAW);
        constexpr GLsizei stride = sizeof(ccV3F_C4B_T2F);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(0));
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<const void*>(12));
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(16));
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers_[1]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, indices.size() * sizeof(GLuint), indices.data(), GL_STATIC_DRAW);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }

    ~RawQuads() {
        glDeleteBuffers(2, buffers_);
        glDeleteVertexArrays(1, &vao_);
        glDeleteProgram(program_);
    }

    RawQuads(const RawQuads&) = delete;
    RawQuads& operator=(const RawQuads&) = delete;

    // Rewrites the whole vertex buffer; `quads` holds as many quads as the constructor's.
    void upload(const std::vector<ccV3F_C4B_T2F_Quad>& quads) {
        glBindBuffer(GL_ARRAY_BUFFER, buffers_[0]);
        glBufferSubData(GL_ARRAY_BUFFER, 0, count_ * sizeof(ccV3F_C4B_T2F_Quad), quads.data());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }

    // Draws every quad through `mvp`, sampling `texture` (a GL texture name), blended by
    // (source, destination) factors.
    void draw(const kmMat4& mvp, GLuint texture, GLenum source, GLenum destination) {
        glUseProgram(program_);
        glUniformMatrix4fv(mvp_, 1, GL_FALSE, mvp.mat);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture);
        glEnable(GL_BLEND);
        glBlendFunc(source, destination);
        glBindVertexArray(vao_);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count_ * 6), GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
        glUseProgram(0);
    }

private:
    static constexpr const char* kVertexShader = R"(
attribute vec4 a_position;
attribute vec4 a_color;
attribute vec2 a_texCoord;
uniform mat4 u_mvp;
varying vec4 v_color;
varying vec2 v_texCoord;
void main() {
    gl_Position = u_mvp * a_position;
    v_color = a_color;
    v_texCoord = a_texCoord;
}
)";

    static constexpr const char* kFragmentShader = R"(
uniform sampler2D u_texture;
varying vec4 v_color;
varying vec2 v_texCoord;
void main() {
    gl_FragColor = v_color * texture2D(u_texture, v_texCoord);
}
)";

    static GLuint compile(GLenum type, const char* source) {
        const GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        return shader;
    }

    size_t count_;
    GLuint program_ = 0;
    GLint mvp_ = -1;
    GLuint vao_ = 0;
    GLuint buffers_[2] = {0, 0};
};
