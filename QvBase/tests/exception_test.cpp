#include <QvBase/Util/Exception.h>
#include <QvBase/Util/ExceptionFileIO.h>

#include <Platform/Kernel/LastError.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const String& s) { return std::string(s.CStr(), s.Length()); }

}  // namespace

TEST(Exception, BaseDescriptionBeforeAndAfterItsSourceIsSet) {
    Exception::Base e("Something broke");
    EXPECT_EQ(e.Line(), -1);
    EXPECT_EQ(e.LastError(), 0xFFFFFFFFu);
    EXPECT_TRUE(e.SourceFile().IsEmpty());
    EXPECT_EQ(Text(e.Description()), "Base:\n\tSomething broke\n\t (-1): Thrown, GetLastError(): 4294967295\n");

    e.SetSource("/src/Thing.cpp", 0, 0);
    EXPECT_EQ(Text(e.Description()), "Base:\n\tSomething broke\n\t/src/Thing.cpp (0): Thrown, GetLastError(): 0\n");
    e.SetSource(e.SourceFile(), 77, 5);  // its own source file: only line and error change
    EXPECT_EQ(Text(e.Description()), "Base:\n\tSomething broke\n\t/src/Thing.cpp (77): Thrown, GetLastError(): 5\n");
    EXPECT_EQ(Text(e.Message()), "Something broke");

    Exception::Base empty("");
    EXPECT_EQ(Text(empty.Description()), "Base:\n\t\n\t (-1): Thrown, GetLastError(): 4294967295\n");
    Exception::Base negative("m");
    negative.SetSource("f", -5, 0x80000000u);
    EXPECT_EQ(Text(negative.Description()), "Base:\n\tm\n\tf (-5): Thrown, GetLastError(): 2147483648\n");
}

TEST(Exception, FileIODescriptionMatchesTheWorkedExample) {
    Util::Exception::FileIO e("Error opening file", "c:\\a.wav", Util::Exception::FileIO::OpenError);
    e.SetSource("\\Quorvel\\QvBase\\src\\QvBase\\Util\\File", 248, 2);
    EXPECT_EQ(Text(e.Description()),
        "Base:\n\tError opening file\n\t\\Quorvel\\QvBase\\src\\QvBase\\Util\\File (248): Thrown, GetLastError(): 2\n"
        "\nFileIO:\nc:\\a.wav: Open error");
}

TEST(Exception, KindsOutsideTheTableReadAsUnknown) {
    EXPECT_EQ(Text(Util::Exception::FileIO("m", "p", 99).KindText()), " Unknown error");
    EXPECT_EQ(Text(Util::Exception::FileIO("m", "p", -1).KindText()), " Unknown error");
    EXPECT_TRUE(Text(Util::Exception::FileIO("m", "/x", 6).Description()).ends_with("\nFileIO:\n/x:  Unknown error"));
}

TEST(Exception, CopiesAndThrowsKeepEveryFieldAndTheirClass) {
    Util::Exception::FileIO original("Read failed", "/music/a.wav", Util::Exception::FileIO::ReadError);
    original.SetSource("File.cpp", 400, 61);
    const Util::Exception::FileIO copy(original);
    EXPECT_EQ(copy.GetKind(), 2);
    EXPECT_EQ(Text(copy.Path()), "/music/a.wav");
    EXPECT_EQ(Text(copy.SourceFile()), "File.cpp");
    EXPECT_EQ(copy.Line(), 400);
    EXPECT_EQ(copy.LastError(), 61u);
    EXPECT_EQ(Text(copy.Description()), Text(original.Description()));

    try {
        throw copy;
    } catch (const Exception::Base& caught) {
        EXPECT_EQ(Text(caught.Description()), Text(original.Description()));  // still a FileIO
    }
}

TEST(Exception, ThrowLocatesTheExceptionWithTheThreadsLastError) {
    Platform::Kernel::SetLastError(13);
    try {
        Exception::Throw(
            Util::Exception::FileIO("Close failed", "/x", Util::Exception::FileIO::CloseError), "here.cpp", 318);
    } catch (const Util::Exception::FileIO& e) {
        EXPECT_EQ(e.LastError(), 13u);
        EXPECT_EQ(e.Line(), 318);
        EXPECT_EQ(Text(e.SourceFile()), "here.cpp");
        EXPECT_EQ(e.GetKind(), 4);
        return;
    }
    FAIL() << "nothing thrown";
}
