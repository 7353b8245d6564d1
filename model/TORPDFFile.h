// The document: its output and imported PDF names, document information, passwords
// and permissions, engine settings, and, as container elements, its pages in order.
// Every text is an owned copy and may be absent.
#pragma once

#include "foundation/OwnedText.h"
#include "foundation/TORContainer.h"
#include "foundation/TORPDFObject.h"

class TORPDFFile : public virtual TORPDFObject, public TORContainer {
public:
    // Each text is copied when given; compatibility, trace file and search path start
    // absent.
    explicit TORPDFFile(const char* pdfName = nullptr, const char* pdiName = nullptr,
                        const char* creator = nullptr, const char* author = nullptr,
                        const char* title = nullptr, const char* masterPwd = nullptr,
                        const char* userPwd = nullptr, const char* permissions = nullptr)
        : TORContainer(16, 8),
          pdfName(pdfName),
          pdiName(pdiName),
          creator(creator),
          author(author),
          title(title),
          masterPwd(masterPwd),
          userPwd(userPwd),
          permissions(permissions)
    {
    }
    ~TORPDFFile() override = default;

    const char* getPdfName() const { return pdfName.get(); }
    const char* getPdiName() const { return pdiName.get(); }
    const char* getCreator() const { return creator.get(); }
    const char* getAuthor() const { return author.get(); }
    const char* getTitle() const { return title.get(); }
    const char* getMasterPwd() const { return masterPwd.get(); }
    const char* getUserPwd() const { return userPwd.get(); }
    const char* getPermissions() const { return permissions.get(); }
    const char* getCompatibility() const { return compatibility.get(); }
    const char* getTrace() const { return trace.get(); }
    const char* getPath() const { return path.get(); }

    // Each setter stores a copy of text, or leaves the field absent for none.
    TORPDFFile& setPdfName(const char* text) { return store(pdfName, text); }
    TORPDFFile& setPdiName(const char* text) { return store(pdiName, text); }
    TORPDFFile& setCreator(const char* text) { return store(creator, text); }
    TORPDFFile& setAuthor(const char* text) { return store(author, text); }
    TORPDFFile& setTitle(const char* text) { return store(title, text); }
    TORPDFFile& setMasterPwd(const char* text) { return store(masterPwd, text); }
    TORPDFFile& setUserPwd(const char* text) { return store(userPwd, text); }
    TORPDFFile& setPermissions(const char* text) { return store(permissions, text); }
    TORPDFFile& setCompatibility(const char* text) { return store(compatibility, text); }
    TORPDFFile& setTrace(const char* text) { return store(trace, text); }
    TORPDFFile& setPath(const char* text) { return store(path, text); }

private:
    TORPDFFile& store(OwnedText& field, const char* text)
    {
        field.set(text);
        return *this;
    }

    OwnedText pdfName;
    OwnedText pdiName;
    OwnedText creator;
    OwnedText author;
    OwnedText title;
    OwnedText masterPwd;
    OwnedText userPwd;
    OwnedText permissions;
    OwnedText compatibility;
    OwnedText trace;
    OwnedText path;
};
