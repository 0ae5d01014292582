// The built-in table, the catalogue's lookup and the names and texts of status codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "messages_fixture.h"
#include "runtime/messages/builtin_messages.h"
#include "runtime/messages/messages.h"
#include "runtime/store/error_detail.h"
#include "runtime/text/error_trail.h"
#include "runtime/text/scratch_stack.h"

namespace vodarir::testing {
namespace {

using namespace literals;

struct CodeText {
    const char* code;
    std::string text; // cp1252 bytes
};

// --- The built-in table as bytes
// ------------------------------------------------------------------

TEST(BuiltinTable, HoldsCp1252BytesNotUtf8) {
    const std::string table(BuiltinMessageTable().view());
    // UTF-8 would spell every accented letter with a lead byte 0xC2 or 0xC3.
    EXPECT_EQ(table.find('\xC3'), std::string::npos);
    EXPECT_EQ(table.find('\xC2'), std::string::npos);
    EXPECT_NE(table.find("\t0008 Precauci\xF3n \t"), std::string::npos);
    EXPECT_NE(table.find("\t0039 \xBF"
                         "Continuar?\t"),
              std::string::npos);
    EXPECT_NE(table.find("\t0095 'Fichero:':'A255'::'%s','Modo a\xF1"
                         "adir:':'L1'::'1'\t"),
              std::string::npos);
}

TEST(BuiltinTable, StartsWithTheFirstEntryAndEndsWithATab) {
    const std::string table(BuiltinMessageTable().view());
    EXPECT_EQ(table.rfind("\t0001 Error al inicializar la Memoria\t", 0), 0u);
    ASSERT_FALSE(table.empty());
    EXPECT_EQ(table.back(), '\t');
    EXPECT_NE(table.find("\t0117 Enero,Febrero,Marzo,Abril,Mayo,Junio,Julio,Agosto,Septiembre,"
                         "Octubre,Noviembre,Diciembre,'[D] de [M] de [Y]'\t"),
              std::string::npos);
}

TEST(BuiltinTable, KeepsTheEntryWithoutCodeAfter0033) {
    const std::string table(BuiltinMessageTable().view());
    EXPECT_NE(table.find("\t0033 Recuerde sus Copias de Seguridad\t\n\r\xBF"
                         "Desea Cerrar la aplicacion? (%i Pantallas, %i Ventanas)\t0034 "),
              std::string::npos);
}

TEST(BuiltinTable, CodesAscendWithTheGapsOfTheTable) {
    const std::string table(BuiltinMessageTable().view());
    std::vector<int> codes;
    for (std::size_t at = table.find('\t'); at + 5 < table.size(); at = table.find('\t', at + 1)) {
        const std::string head = table.substr(at + 1, 5);
        if (head.size() == 5 && head[4] == ' ' && head.find_first_not_of("0123456789") == 4) {
            codes.push_back(std::stoi(head.substr(0, 4)));
        }
    }
    ASSERT_EQ(codes.size(), 103u);
    for (std::size_t i = 1; i < codes.size(); ++i) EXPECT_LT(codes[i - 1], codes[i]) << i;
    for (int absent : {50, 69, 76, 77, 78, 79, 102, 109}) {
        EXPECT_EQ(std::count(codes.begin(), codes.end(), absent), 0) << absent;
    }
    EXPECT_EQ(codes.front(), 1);
    EXPECT_EQ(codes.back(), 117);
}

// --- MsgBuiltin and MsgText
// -----------------------------------------------------------------------

class MsgTextTest : public MessagesTest {};

TEST_F(MsgTextTest, BuiltinEntriesByCode) {
    const std::vector<CodeText> rows = {
        {"0001", "Error al inicializar la Memoria"},
        {"0008", "Precauci\xF3n "},
        {"0009", "Error "},
        {"0011", "Ss,Nn"},
        {"0012", "Mensaje Informativo"},
        {"0014", "Solicitud de Informaci\xF3n"},
        {"0017", "Parametros incorrectos para campo de pantalla%s\r\n (%s)"},
        {"0019", ",.'0123456789,-D',' NS','  ,NO,SI'"},
        {"0023", "Clave no encontrada,Fin de fichero,,,Clave incorrecta,Clave Repetida,"
                 "Datos Cambiados. Grabaci\xF3n canceleda"},
        {"0025", "\xBF"
                 "Anular Registro(s)?"},
        {"0033", "Recuerde sus Copias de Seguridad"},
        {"0034", "Selecci\xF3n de Aplicaci\xF3n"},
        {"0066", "Ficheros de Men\xFA (%s),%s"},
        {"0075", "Acerca de"},
        {"0091", "'Servidor:':'A30'::%s,'Base:':'A30'::%s,'Usuario:':'A30'::%s,"
                 "'Contrase\xF1"
                 "a:':'P30'::%s,'Recordar (S/N):':'L1'"},
        {"0101", "Contados %s registros en %s"},
        {"0116", "'Nueva Aplicacion:':'A20'"},
    };
    for (const CodeText& row : rows) {
        EXPECT_EQ(Str(MsgBuiltin(TextView(row.code))), row.text) << row.code;
        EXPECT_EQ(Str(MsgText(row.code)), row.text) << row.code;
    }
}

TEST_F(MsgTextTest, EveryEntryOfTheTableIsFoundByItsCode) {
    // Quoted runs inside earlier entries must never hide a later entry from the search.
    const std::string table(BuiltinMessageTable().view());
    int found = 0;
    for (std::size_t at = table.find('\t'); at + 1 < table.size(); at = table.find('\t', at + 1)) {
        const std::size_t next = table.find('\t', at + 1);
        const std::string entry = table.substr(at + 1, next - at - 1);
        if (entry.size() < 5 || entry.find_first_not_of("0123456789") != 4) continue;
        const std::string code = entry.substr(0, 4);
        EXPECT_EQ(Str(MsgBuiltin(TextView(code))), entry.substr(5)) << code;
        EXPECT_EQ(Str(MsgText(code.c_str())), entry.substr(5)) << code;
        ++found;
    }
    EXPECT_EQ(found, 103);
}

TEST_F(MsgTextTest, CodesOutsideTheTableReadEmpty) {
    for (const char* code : {"0050", "0069", "0076", "0102", "0118", "1006", "9999"}) {
        EXPECT_EQ(Str(MsgBuiltin(TextView(code))), "") << code;
        EXPECT_EQ(Str(MsgText(code)), "") << code;
    }
}

TEST_F(MsgTextTest, OnlyAnEntrysOwnCodeMatches) {
    // "12" occurs inside "0012" and "2345" inside a quoted list; neither is a code of the table.
    for (const char* code : {"12", "2345", "001", "Error", "\t"}) {
        EXPECT_EQ(Str(MsgBuiltin(TextView(code))), "") << code;
    }
    EXPECT_EQ(Str(MsgBuiltin(""_t)), "");
}

TEST_F(MsgTextTest, DesignerCodesGiveTheirOwnTextWithoutALanguageFile) {
    EXPECT_EQ(Str(MsgText("1006 New")), "New");
    EXPECT_EQ(Str(MsgText("1002 File Name")), "File Name");
    EXPECT_EQ(Str(MsgText("1003       Field Name, Length, Type")),
              "      Field Name, Length, Type");
    // The own text wins over the built-in table while no file is loaded.
    EXPECT_EQ(Str(MsgText("0012 Other")), "Other");
    // A code with a separator but no text reads empty.
    EXPECT_EQ(Str(MsgText("1006 ")), "");
}

TEST_F(MsgTextTest, FirstRequestLooksForALanguageFileOnce) {
    EXPECT_EQ(MsgCatalogState(), catalog::kNotTried);
    EXPECT_EQ(Str(MsgText("0012")), "Mensaje Informativo");
    EXPECT_EQ(MsgCatalogState(), catalog::kTried);
}

TEST_F(MsgTextTest, NullAndFailedCodesFail) {
    EXPECT_TRUE(MsgText(nullptr).failed());
    const TextRef failed = MsgTextRef(TextRef::Failed(status::kOutOfMemory));
    EXPECT_TRUE(failed.failed());
    EXPECT_EQ(failed.status(), status::kOutOfMemory);
}

// --- StatusName
// -----------------------------------------------------------------------------------

struct StatusRow {
    StatusCode status;
    std::string text;
};

TEST(StatusNameTest, NamesByCode) {
    const std::vector<StatusRow> rows = {
        {0, "Indefinido"},
        {5, "Indefinido"},
        {120, "Indefinido"},
        {status::kCallerText, "Indefinido"},
        {status::kCancelled, "Cancelado por el usuario"},
        {status::kBadData, "Datos incorrectos"},
        {status::kNoData, "No hay datos"},
        {status::kIncompatibleTypes, "Tipos Incompatibles"},
        {status::kProcedure, "Ejecuci\xF3n de Procedimiento"},
        {status::kRead, "de Lectura"},
        {status::kOutOfMemory, "OUTOFMEMORY"},
        {status::kFeatureRemoved, "FEATUREREMOVED"},
        {status::kLoadString, "LOADSTRERROR"},
        {status::kData, "de Datos"},
        {status::kFileNotFound, "Fichero no encontrado"},
        {status::kDataOutBound, "DATAOUTBOUND"},
        {status::kPermissionDenied, "Permiso denegado"},
        {status::kVariableScreenField, "Variable ScreenField"},
        {182, "Indefinido"},
        {status::kDataExists, "Datos Existentes"},
        {status::kGraphicSupport, "Soporte Grafico Insuficiente"},
        {186, "Indefinido"},
        {300, "Indefinido"},
        {0xFFFF, "Indefinido"},
    };
    for (const StatusRow& row : rows)
        EXPECT_EQ(Str(StatusName(row.status)), row.text) << row.status;
}

// --- StatusText
// -----------------------------------------------------------------------------------

class StatusTextTest : public MessagesTest {};

TEST_F(StatusTextTest, SuccessAndWarnings) {
    EXPECT_EQ(Str(StatusText(0)), "Proceso Completado Satisfactoriamente");
    EXPECT_EQ(Str(StatusText(5)), "Precauci\xF3n ");
    EXPECT_EQ(Str(StatusText(1)), "Precauci\xF3n ");
    EXPECT_EQ(Str(StatusText(120)), "Precauci\xF3n ");
}

TEST_F(StatusTextTest, NamedConditionsBelowTheErrors) {
    EXPECT_EQ(Str(StatusText(status::kCancelled)), "Cancelado por el usuario");
    EXPECT_EQ(Str(StatusText(status::kNoData)), "No hay datos");
    EXPECT_EQ(Str(StatusText(status::kCallerText)), "Indefinido");
    EXPECT_EQ(Str(StatusText(status::kBadData)), "Datos incorrectos");
}

TEST_F(StatusTextTest, CallerTextStatusesShowTheDetail) {
    LogErrorText(status::kCallerText, "no such field"_t, false);
    EXPECT_EQ(Str(StatusText(status::kCallerText)), "no such field");
    EXPECT_EQ(Str(StatusText(status::kBadData)), "no such field");
    // Other conditions below 128 ignore it.
    EXPECT_EQ(Str(StatusText(status::kNoData)), "No hay datos");
}

TEST_F(StatusTextTest, ErrorWithRecordedStepAndNoDetail) {
    NoteFirstError(1, step::kFormatString, status::kOutOfMemory, status::kOutOfMemory);
    EXPECT_EQ(Str(StatusText(status::kOutOfMemory)), "Error OUTOFMEMORY(FORMATSTRING)");
}

TEST_F(StatusTextTest, ErrorWithoutRecordHasNoStep) {
    EXPECT_EQ(Str(StatusText(status::kRead)), "Error de Lectura");
}

TEST_F(StatusTextTest, ErrorUsesTheStepOfTheRecordedErrorAndAppendsTheDetail) {
    NoteFirstError(1, step::kLoadFileStr, status::kRead, status::kRead);
    LogErrorText(status::kRead, "C:\\app\\x.dat"_t, false);
    EXPECT_EQ(Str(StatusText(status::kRead)), "Error de Lectura(LOADFILESTR): C:\\app\\x.dat");
    // The step shown is the recorded one, whatever status is asked for.
    EXPECT_EQ(Str(StatusText(status::kFileNotFound)),
              "Error Fichero no encontrado(LOADFILESTR): C:\\app\\x.dat");
}

TEST_F(StatusTextTest, LastRecordedError) {
    EXPECT_EQ(Str(StatusText(kLastRecordedStatus)), "Error Indefinido");
    NoteFirstError(1, step::kStreamInit, status::kFileNotFound, status::kFileNotFound);
    EXPECT_EQ(Str(StatusText(kLastRecordedStatus)), "Error Fichero no encontrado(STREAMINIT)");
}

TEST_F(StatusTextTest, TheLastStepNameIsReachable) {
    NoteFirstError(1, step::kLocalLists, status::kInternal, status::kInternal);
    EXPECT_EQ(Str(StatusText(status::kInternal)), "Error Interno(LocalLists)");
}

TEST_F(StatusTextTest, AnswersOneLevelAboveTheCaller) {
    const ScratchLevel mark = ScratchMark();
    LogErrorText(status::kCallerText, "detail"_t, false);
    const TextRef text = StatusText(status::kCallerText);
    EXPECT_EQ(ScratchDepth(), mark + 1);
    // A copy: changing the store does not change the answer.
    LogErrorText(status::kCallerText, "another"_t, false);
    EXPECT_EQ(Str(text), "detail");
    ScratchRelease(mark);
}

TEST_F(StatusTextTest, UsesTheLoadedLanguageForItsMessages) {
    LoadLines({"0005 Process completed successfully", "0008 Warning ", "0009 Error "});
    NoteFirstError(1, step::kFormatString, status::kOutOfMemory, status::kOutOfMemory);
    EXPECT_EQ(Str(StatusText(0)), "Process completed successfully");
    EXPECT_EQ(Str(StatusText(7)), "Warning ");
    EXPECT_EQ(Str(StatusText(status::kOutOfMemory)), "Error OUTOFMEMORY(FORMATSTRING)");
}

} // namespace
} // namespace vodarir::testing
