// The built-in Spanish texts: the message table, the status names and the step names.
//
// The sources are UTF-8 for reading; Cp1252 turns them into the cp1252 bytes the runtime holds
// while compiling, so the program carries exactly the bytes below in that code page.
#include "runtime/messages/builtin_messages.h"

#include "runtime/text/cp1252_literal.h"

namespace vodarir {

namespace {

// Entries: a tab, the four-digit code, one blank, the message; the table ends with a tab. The
// entry after 0033 has no code: it belongs to the table text but no lookup can reach it.
constexpr auto kMessageTable = Cp1252(
    "\t0001 Error al inicializar la Memoria"
    "\t0002 Error al efectuar la inicializacion"
    "\t0003 Errores de Memoria detectados"
    "\t0004 Fichero no encontrado:%s"
    "\t0005 Proceso Completado Satisfactoriamente"
    "\t0006 Cancelado por el Usuario"
    "\t0007 Datos no Encontrados"
    "\t0008 Precaución "
    "\t0009 Error "
    "\t0010 No definido"
    "\t0011 Ss,Nn"
    "\t0012 Mensaje Informativo"
    "\t0013 Alerta de Mensaje Fatal"
    "\t0014 Solicitud de Información"
    "\t0015 Permiso denegado"
    "\t0016 Proceso en progreso....."
    "\t0017 Parametros incorrectos para campo de pantalla%s\r\n (%s)"
    "\t0018 Posible perdida de datos. Por favor confirmar"
    "\t0019 ,.'0123456789,-D',' NS','  ,NO,SI'"
    "\t0020 Cancelar"
    "\t0021 Error de conexión SQL"
    "\t0022 Mantenimiento de Ficheros,Captura de Datos"
    "\t0023 Clave no encontrada,Fin de fichero,,,Clave incorrecta,Clave Repetida,"
    "Datos Cambiados. Grabación canceleda"
    "\t0024 Modificación de Clave descartada"
    "\t0025 ¿Anular Registro(s)?"
    "\t0026 Visualizar,Insertar,Eliminar,Buscar"
    "\t0027 Datos Cabecera,Tipo de Documento,Busqueda [AvPag - RePag],Edición [AvPag - RePag],"
    "Edición de lineas,Edición de resúmen,Datos grabados,Nueva alta,Modificación,Modo Inserción,"
    "Modo Mantenimiento,Impresión Desact.,Impresión Activada"
    "\t0028 Nuevo,Inic.,Ant.,Sig.,Ult.,Grabar,Borrar"
    "\t0029 Cancelar,Buscar,Grabar,Insertar,Anular Lin.,Importar,Anular Doc.,Modo Impr."
    "\t0030 Cancelar,PgAnt.,PgSig.,Grabar,Insertar,Anular,Importar,Modo"
    "\t0031 Proceso no definido"
    "\t0032 Aun hay ventanas abiertas (%i Pantallas, %i Ventanas)"
    "\t0033 Recuerde sus Copias de Seguridad"
    "\t\n\r¿Desea Cerrar la aplicacion? (%i Pantallas, %i Ventanas)"
    "\t0034 Selección de Aplicación"
    "\t0035 Debe efectuar una configuración en la carpeta por defecto.\r\nConsulte la documentación"
    "\t0036 %s (Aplicación desconocida)"
    "\t0037 Solo disponible en Busqueda"
    "\t0038 Solo disponible en Modo Mantenimiento"
    "\t0039 ¿Continuar?"
    "\t0040 ¿Desea ver Incidencias?"
    "\t0041 Pagina Html no definida"
    "\t0042 Error en Html Parser/Nav"
    "\t0043 Html environ initialization Error"
    "\t0044 DefParms File Load Error"
    "\t0045 Parsing page Error"
    "\t0046 Control Command Error"
    "\t0047 Form Log failure"
    "\t0048 Query Params Error"
    "\t0049 Sobreescribir?"
    "\t0051 Confirmación de Transacción"
    "\t0052 No se ha definido ningún modo de Transacción"
    "\t0053 No se ha definido ninguna tabla de Transacción"
    "\t0054 tabla SQL externa no definida"
    "\t0055 Datos de Transacción necesarios"
    "\t0056 'Nombre del Archivo:':'A40'"
    "\t0057 Límites de Transacción"
    "\t0058 Ventana de Importación"
    "\t0059 Eliminando %s (%s),Actualizando %s (%s)"
    "\t0060 Todos (%s),%s"
    "\t0061 Ficheros de Estructura (%s),%s"
    "\t0062 Ficheros de Pantalla (%s),%s"
    "\t0063 Ficheros de Plantilla de Impresión (%s),%s"
    "\t0064 Ficheros de Procedimientos (%s),%s"
    "\t0065 Ficheros de Selección de Aplicación (%s),%s"
    "\t0066 Ficheros de Menú (%s),%s"
    "\t0067 Ficheros PDF (%s),%s"
    "\t0068 Ficheros de Texto (%s),%s"
    "\t0070 Ayuda"
    "\t0071 Páginas de Ayuda"
    "\t0072 Pagina de Ayuda no definida"
    "\t0073 Ventana Desconocida %s"
    "\t0074 Variables y Funciones"
    "\t0075 Acerca de"
    "\t0080 (Mayor que),(Menor que), (Igual a),(Desde),(Hasta),(Distinto de)"
    "\t0081 Captura de Limites de Informe"
    "\t0082 Selección de Dispositivo"
    "\t0083 Vel.:,Paridad:,Lineas:,Ancho:,Paso:,Mostrar"
    "\t0084 No se ha seleccionado nada"
    "\t0085 Selección de Tabla"
    "\t0086 Selección de Campos de Limites"
    "\t0087 Actualizacion Relacional"
    "\t0088 Selección de Fichero"
    "\t0089 Relativa,Secuencial,Delimitada,Listado"
    "\t0090 Acceso a Datos"
    "\t0091 'Servidor:':'A30'::%s,'Base:':'A30'::%s,'Usuario:':'A30'::%s,"
    "'Contraseña:':'P30'::%s,'Recordar (S/N):':'L1'"
    "\t0092 'Servidor:':'A30'::%s,'Base:':'A30','Usuario:':'A30'::'postgres',"
    "'Contraseña:':'P30'"
    "\t0093 'Servidor:':'A30'::%s,'Usuario:':'A30'::'postgres','Contraseña:':'P30'"
    "\t0094 'Tipo de Actualización Relacional:':'N1'"
    "\t0095 'Fichero:':'A255'::'%s','Modo añadir:':'L1'::'1'"
    "\t0096 Selección de Campos"
    "\t0097 ¿Salvar esta Configuración?"
    "\t0098 Selección de Transacción"
    "\t0099 Expresion de Actualización"
    "\t0100 'Expresion de Actualización:':'A256'"
    "\t0101 Contados %s registros en %s"
    "\t0110 'Informes','_Crear Nuevo,[$]','_Informes,[$]%APNAME%report.ppn'"
    "\t0111 'Transacciones','_Exportaciones','__Relativa,[$]4','__Secuencial,[$]20',"
    "'__Delimitada,[$]52','__Listado,[$]16404','_Importaciones','__Relativa,[$]5',"
    "'__Secuencial,[$]21','__Delimitada,[$]53','_Internas','__Contador,[$]128',"
    "'__Actualizacion,[$]1','__Actualizacion Relacional,[$]3',"
    "'__Desactualizacion Relacional,[$]11','__Anulacion,[$]8','_Predefinidas,[$]0'"
    "\t0112 Un Programa Externo ha terminado con un error %s"
    "\t0113 'Titulo del Documento:':'A40'"
    "\t0114 Selection de Informe"
    "\t0115 Ultima sesion interrumpida. Recuperacion de datos"
    "\t0116 'Nueva Aplicacion:':'A20'"
    "\t0117 Enero,Febrero,Marzo,Abril,Mayo,Junio,Julio,Agosto,Septiembre,Octubre,Noviembre,"
    "Diciembre,'[D] de [M] de [Y]'"
    "\t");

// Item n is the name of status kCallerText + n; the empty item stands for 182, which has no name.
constexpr auto kStatusNames = Cp1252(
    "Cancelado por el usuario,Expresion Nula,Aviso Indefinido,Tipo Atipico,Datos incorrectos,"
    "No hay datos,Tipos Incompatibles,Fallo de loop,Disco (I/O),Fichero I/O,"
    "Ejecución de Procedimiento,PRCSTCKERROR,TRANSUPERROR,VARHANDLERROR,de Lectura,"
    "de Escritura,de Apertura,de Red,BADEXPRESION,Interno,FARHEAPINIERR,de Entorno de Pantalla,"
    "INDEXCMDERROR,OUTOFMEMORY,STRINGTOOLONG,SINTAXERROR,FEATUREREMOVED,DIMSTRUCERROR,"
    "BADSTRINGTYPE,BADFILENUMBER,FORMATFAILURE,STRCONCATERR,MEMORYALLOCERR,EXPCALCERROR,"
    "LOADSTRERROR,VARNAMEERROR,BADCOMMANDLINE,STROUTBOUND,MEMTESTERROR,FILEOUTBOUND,SQLERROR,"
    "de Datos,Fichero no encontrado,Fichero Existente,Apertura de Ficheros,CHILDEXECERROR,"
    "DATAOUTBOUND,FILENOTINIT,COMMONCTLERROR,DEVICETIMEOUT,DEVICEIOERROR,SYSTEMCMDERROR,"
    "Chequeo de usuario,Permiso denegado,StructMemError,ScreenStructErr,Memory Leaks,"
    "Windows Control Error,Memory Overflow,Variable ScreenField,,Datos Existentes,"
    "Solamente Acceso Local,Soporte Grafico Insuficiente");

// The first item is empty so that item step + 1 names step `step` and step 0 reads empty.
constexpr auto kStepNames =
    Cp1252(",(MEMINIT),(ACUMULATORSET),(STRINGINIT),(STRINGASSIGN),(STRINGNUM),(STRINGCLOSE),"
           "(FIRSTPOSCHR),(PRCPARMVALUE),(STACKADD),(INPUTLINES),(AUXPARAMLOAD),(STREAMINIT),"
           "(STRCONCAT),(EXPEXEC),(VARNMASSIGN),(FORMATSTRING),(BUFFERFLDGET),(BUFFERFLDPUT),"
           "(FILEFLDEXPATTR),(FILEFLDNUM),(FUNCVALUE),(SQLCONNECT),(SQLEXEC),(LOADFILESTR),"
           "(ProgressPopUpUpdate),(ExecCompiler),(ExecRunTime),(FileSystem),(StructFunc),"
           "(HtmlParser),(Screen),(Devices),(VarStructs),(Sort),(LocalLists)");

constexpr auto kUndefinedName = Cp1252("Indefinido");

} // namespace

TextRef BuiltinMessageTable() { return kMessageTable.text(); }
TextRef StatusNameList() { return kStatusNames.text(); }
TextRef StepNameList() { return kStepNames.text(); }
TextRef UndefinedStatusName() { return kUndefinedName.text(); }

} // namespace vodarir
