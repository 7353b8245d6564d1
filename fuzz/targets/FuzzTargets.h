// The bodies of the fuzz targets. Each takes one input of any bytes and must come
// back from it: no crash, no hang, no leak, no write outside a buffer. The libFuzzer
// programs of fuzz/ and the corpus replay of tests/fuzzreplay/ call the same
// functions, so an input that once failed is checked again by every test run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace fuzztargets {

// The configuration file: the profile reader and the loader of the whole document.
int configuration(const uint8_t* data, size_t size);
// The option-list parser against every option table, and typed access to its values.
int optionList(const uint8_t* data, size_t size);
// pCOS paths against a fixed document with blocks.
int pcosPath(const uint8_t* data, size_t size);
// A PDF opened for import and walked as template mode does, its pages placed.
int pdiDocument(const uint8_t* data, size_t size);
// Block definitions read from a page dictionary built from the input.
int blockReader(const uint8_t* data, size_t size);
// Code page 932 to and from UTF-16, and every conversion of TORConverter.
int codePages(const uint8_t* data, size_t size);
// A font file loaded with an encoding, a text shown, measured and fitted with it.
int fontText(const uint8_t* data, size_t size);
// An image file loaded and placed on a page.
int imageFile(const uint8_t* data, size_t size);

struct Target {
    std::string_view name;  // the folder of its seeds and of its corpus
    int (*run)(const uint8_t* data, size_t size);
};

// Every target, by name.
std::span<const Target> allTargets();

}  // namespace fuzztargets
