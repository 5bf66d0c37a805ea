<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>CheckText</name>
    <message>
        <source>lists</source>
        <translation>listas de paquetes</translation>
    </message>
    <message>
        <source>package database</source>
        <translation>base de datos de paquetes</translation>
    </message>
    <message>
        <source>%1 — checking for updates…</source>
        <translation>%1 — buscando actualizaciones…</translation>
    </message>
    <message>
        <source>just now</source>
        <translation>hace un momento</translation>
    </message>
    <message>
        <source>could not check: %1</source>
        <translation>no se pudo comprobar: %1</translation>
    </message>
    <message>
        <source>no package repository is configured</source>
        <translation>no hay ningún repositorio de paquetes configurado</translation>
    </message>
    <message>
        <source>no package repository is enabled</source>
        <translation>no hay ningún repositorio de paquetes activado</translation>
    </message>
    <message>
        <source>the snap service (snapd) is not running</source>
        <translation>el servicio de snap (snapd) no está en ejecución</translation>
    </message>
    <message>
        <source>an earlier installation was left unfinished: %1</source>
        <translation>una instalación anterior quedó sin terminar: %1</translation>
    </message>
    <message>
        <source>in use by another program: %1</source>
        <translation>en uso por otro programa: %1</translation>
    </message>
    <message>
        <source>this computer is not connected to a network</source>
        <translation>este equipo no está conectado a ninguna red</translation>
    </message>
    <message>
        <source>This is often Debian&apos;s own pacman, installed to build packages for Arch Linux: remove it (sudo apt remove pacman-package-manager makepkg) or configure a repository in /etc/pacman.conf.</source>
        <translation>Suele ser el pacman del propio Debian, instalado para crear paquetes para Arch Linux: elimínelo (sudo apt remove pacman-package-manager makepkg) o configure un repositorio en /etc/pacman.conf.</translation>
    </message>
    <message>
        <source>Enable a repository, or remove %1.</source>
        <translation>Active un repositorio o elimine %1.</translation>
    </message>
    <message>
        <source>Start it (sudo systemctl enable --now snapd.socket), or remove snapd.</source>
        <translation>Inícielo (sudo systemctl enable --now snapd.socket) o elimine snapd.</translation>
    </message>
    <message>
        <source>Finish it first: sudo dpkg --configure -a</source>
        <translation>Termínela primero: sudo dpkg --configure -a</translation>
    </message>
    <message>
        <source>Wait until it has finished.</source>
        <translation>Espere a que termine.</translation>
    </message>
    <message>
        <source>Connect to a network.</source>
        <translation>Conéctese a una red.</translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
    <message>
        <source>%1 — cannot update: %2</source>
        <translation>%1 — no se puede actualizar: %2</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message numerus="yes">
        <source>nothing to update, %n kept back</source>
        <translation>
            <numerusform>nada que actualizar, %n retenido</numerusform>
            <numerusform>nada que actualizar, %n retenidos</numerusform>
        </translation>
    </message>
    <message>
        <source>up to date</source>
        <translation>al día</translation>
    </message>
    <message>
        <source>%1 to download</source>
        <translation>%1 por descargar</translation>
    </message>
    <message>
        <source>%1 from %2</source>
        <translation>%1 de %2</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 %2 → %3</source>
        <translation>%1 %2 → %3</translation>
    </message>
    <message>
        <source>%1 (security)</source>
        <translation>%1 (seguridad)</translation>
    </message>
    <message>
        <source>The update would stop at %1.</source>
        <translation>La actualización se detendría en %1.</translation>
    </message>
    <message>
        <source>It is a security update.</source>
        <translation>Es una actualización de seguridad.</translation>
    </message>
    <message>
        <source>Open Sorvane Update</source>
        <translation>Abrir Sorvane Update</translation>
    </message>
    <message>
        <source>Your changes to %1 will be kept; if the update brings a new version of it, that goes beside it.</source>
        <translation>Se conservarán sus cambios en %1; si la actualización trae una versión nueva, se coloca a su lado.</translation>
    </message>
    <message>
        <source>There is not enough room on %1: the update needs about %2 there, and %3 is free.</source>
        <translation>No hay espacio suficiente en %1: la actualización necesita allí unos %2 y hay %3 libres.</translation>
    </message>
    <message>
        <source>To make room: %1.</source>
        <translation>Para liberar espacio: %1.</translation>
    </message>
    <message>
        <source>This computer is not connected to a network, so the update could download nothing. Connect, then check again.</source>
        <translation>Este equipo no está conectado a ninguna red, así que la actualización no podría descargar nada. Conéctese y vuelva a comprobar.</translation>
    </message>
    <message>
        <source>The update would stop at %1, and leave %2 alone.</source>
        <translation>La actualización se detendría en %1 y no tocaría %2.</translation>
    </message>
    <message>
        <source>Then check again.</source>
        <translation>Después, vuelva a comprobar.</translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s) ago</source>
        <translation>
            <numerusform>hace %n minuto</numerusform>
            <numerusform>hace %n minutos</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s) ago</source>
        <translation>
            <numerusform>hace %n hora</numerusform>
            <numerusform>hace %n horas</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) ago</source>
        <translation>
            <numerusform>hace %n día</numerusform>
            <numerusform>hace %n días</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n update(s)</source>
        <translation>
            <numerusform>%n actualización</numerusform>
            <numerusform>%n actualizaciones</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n security)</source>
        <translation>
            <numerusform>%1 (%n de seguridad)</numerusform>
            <numerusform>%1 (%n de seguridad)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Your changes to %n configuration file(s) will be kept (%1); where the update brings new versions, they go beside them.</source>
        <translation>
            <numerusform>Se conservarán sus cambios en %n archivo de configuración (%1); si la actualización trae una versión nueva, se coloca a su lado.</numerusform>
            <numerusform>Se conservarán sus cambios en %n archivos de configuración (%1); si la actualización trae versiones nuevas, se colocan a su lado.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n update(s) are waiting</source>
        <translation>
            <numerusform>Hay %n actualización pendiente</numerusform>
            <numerusform>Hay %n actualizaciones pendientes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them are security updates.</source>
        <translation>
            <numerusform>%n de ellas es una actualización de seguridad.</numerusform>
            <numerusform>%n de ellas son actualizaciones de seguridad.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 (kept back: %2)</source>
        <translation>%1 (retenido: %2)</translation>
    </message>
    <message>
        <source>held: you or an administrator told %1 not to update it</source>
        <translation>bloqueado: usted o un administrador indicó a %1 que no lo actualice</translation>
    </message>
    <message>
        <source>being rolled out to %1 % of computers</source>
        <translation>se está distribuyendo al %1 % de los equipos</translation>
    </message>
    <message>
        <source>being rolled out to some computers first</source>
        <translation>se distribuye primero a algunos equipos</translation>
    </message>
    <message>
        <source>its new version needs changes to other packages that this update does not make</source>
        <translation>su nueva versión necesita cambios en otros paquetes que esta actualización no hace</translation>
    </message>
    <message>
        <source>checked %1</source>
        <translation>comprobado %1</translation>
    </message>
    <message>
        <source>The lists could not be refreshed for this check (%1): this is what they knew when they were last refreshed.</source>
        <translation>No se pudieron actualizar las listas para esta comprobación (%1): esto es lo que sabían cuando se actualizaron por última vez.</translation>
    </message>
    <message>
        <source>not checked on a metered connection</source>
        <translation>no comprobado en una conexión de uso medido</translation>
    </message>
    <message>
        <source>%1, which is held, needs the version installed now</source>
        <translation>%1, que está retenido, necesita la versión instalada ahora</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show these options and exit.</source>
        <translation>Mostrar estas opciones y salir.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Mostrar la versión y salir.</translation>
    </message>
    <message>
        <source>Check for updates without a window. Exit status: 0 up to date, 100 updates pending, 101 only held-back security updates, 1 the check failed.</source>
        <translation>Buscar actualizaciones sin ventana. Estado de salida: 0 al día, 100 actualizaciones pendientes, 101 solo actualizaciones de seguridad retenidas, 1 la comprobación falló.</translation>
    </message>
    <message>
        <source>With --check or --history: write JSON.</source>
        <translation>Con --check o --history: escribir JSON.</translation>
    </message>
    <message>
        <source>With --check: show a desktop notice when updates are waiting.</source>
        <translation>Con --check: mostrar un aviso en el escritorio cuando haya actualizaciones esperando.</translation>
    </message>
    <message>
        <source>With --check: write the check as Prometheus metrics.</source>
        <translation>Con --check: escribir la comprobación como métricas de Prometheus.</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>With --prometheus: write the metrics to FILE (for the node exporter&apos;s textfile collector) rather than to stdout.</source>
        <translation>Con --prometheus: escribir las métricas en FILE (para el recolector textfile del node exporter) en lugar de en la salida estándar.</translation>
    </message>
    <message>
        <source>With --check: answer as a Nagios or Icinga plugin.</source>
        <translation>Con --check: responder como un plugin de Nagios o Icinga.</translation>
    </message>
    <message>
        <source>RANGE</source>
        <translation>RANGE</translation>
    </message>
    <message>
        <source>With --nagios: warn when the pending updates are in RANGE (default 0).</source>
        <translation>Con --nagios: avisar cuando las actualizaciones pendientes estén en RANGE (por omisión 0).</translation>
    </message>
    <message>
        <source>With --nagios: critical when the security updates are in RANGE (default 0).</source>
        <translation>Con --nagios: crítico cuando las actualizaciones de seguridad estén en RANGE (por omisión 0).</translation>
    </message>
    <message>
        <source>With --nagios: warn when the package lists&apos; age in seconds is in RANGE.</source>
        <translation>Con --nagios: avisar cuando la antigüedad de las listas de paquetes, en segundos, esté en RANGE.</translation>
    </message>
    <message>
        <source>With --nagios: critical when the package lists&apos; age in seconds is in RANGE.</source>
        <translation>Con --nagios: crítico cuando la antigüedad de las listas de paquetes, en segundos, esté en RANGE.</translation>
    </message>
    <message>
        <source>List every package manager&apos;s past transactions, newest first.</source>
        <translation>Listar las transacciones pasadas de cada gestor de paquetes, las más recientes primero.</translation>
    </message>
    <message>
        <source>YYYY-MM-DD</source>
        <translation>YYYY-MM-DD</translation>
    </message>
    <message>
        <source>With --history: only transactions from that day on.</source>
        <translation>Con --history: solo las transacciones desde ese día.</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>With --history: only transactions that touched NAME.</source>
        <translation>Con --history: solo las transacciones que tocaron NAME.</translation>
    </message>
    <message>
        <source>Usage:</source>
        <translation>Uso:</translation>
    </message>
    <message>
        <source>Sorvane Update: the window that updates every package manager at once, and the same check without a window, for scripts, notices and monitoring.</source>
        <translation>Sorvane Update: la ventana que actualiza todos los gestores de paquetes a la vez, y la misma comprobación sin ventana, para scripts, avisos y monitorización.</translation>
    </message>
    <message>
        <source>unknown option: %1</source>
        <translation>opción desconocida: %1</translation>
    </message>
    <message>
        <source>unexpected argument: %1</source>
        <translation>argumento inesperado: %1</translation>
    </message>
    <message>
        <source>%1 needs --check or --history</source>
        <translation>%1 necesita --check o --history</translation>
    </message>
    <message>
        <source>%1 cannot be used with %2</source>
        <translation>%1 no se puede usar con %2</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 se ha indicado dos veces</translation>
    </message>
    <message>
        <source>--package needs a package name</source>
        <translation>--package necesita un nombre de paquete</translation>
    </message>
    <message>
        <source>Try &apos;sorvane-gui --help&apos; for the options.</source>
        <translation>Pruebe «sorvane-gui --help» para ver las opciones.</translation>
    </message>
    <message>
        <source>not a date: %1</source>
        <translation>no es una fecha: %1</translation>
    </message>
    <message>
        <source>Qt&apos;s options</source>
        <translation>opciones de Qt</translation>
    </message>
</context>
<context>
    <name>HistoryText</name>
    <message>
        <source>succeeded</source>
        <translation>correcta</translation>
    </message>
    <message>
        <source>succeeded with warnings</source>
        <translation>correcta, con avisos</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fallida</translation>
    </message>
    <message>
        <source>unfinished</source>
        <translation>sin terminar</translation>
    </message>
    <message>
        <source>upgraded</source>
        <translation>actualizado</translation>
    </message>
    <message>
        <source>installed</source>
        <translation>instalado</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>eliminado</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>cambiado</translation>
    </message>
    <message numerus="yes">
        <source>%n upgraded</source>
        <translation>
            <numerusform>%n actualizado</numerusform>
            <numerusform>%n actualizados</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n installed</source>
        <translation>
            <numerusform>%n instalado</numerusform>
            <numerusform>%n instalados</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n removed</source>
        <translation>
            <numerusform>%n eliminado</numerusform>
            <numerusform>%n eliminados</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n changed otherwise</source>
        <translation>
            <numerusform>%n cambiado de otro modo</numerusform>
            <numerusform>%n cambiados de otro modo</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) changed</source>
        <translation>
            <numerusform>%n paquete cambiado</numerusform>
            <numerusform>%n paquetes cambiados</numerusform>
        </translation>
    </message>
    <message>
        <source>no packages changed</source>
        <translation>ningún paquete cambiado</translation>
    </message>
    <message>
        <source>elsewhere</source>
        <translation>en otro lugar</translation>
    </message>
    <message>
        <source>Sorvane Update, with warnings</source>
        <translation>Sorvane Update, con avisos</translation>
    </message>
    <message>
        <source>Sorvane Update, which failed</source>
        <translation>Sorvane Update, que falló</translation>
    </message>
    <message>
        <source>Sorvane Update</source>
        <translation>Sorvane Update</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>Could not read %1: %2</source>
        <translation>No se pudo leer %1: %2</translation>
    </message>
    <message>
        <source>%1  %2  %3  %4  (through %5)</source>
        <translation>%1  %2  %3  %4  (mediante %5)</translation>
    </message>
    <message numerus="yes">
        <source>%n config file(s) kept as you changed them</source>
        <translation>
            <numerusform>%n archivo de configuración conservado con sus cambios</numerusform>
            <numerusform>%n archivos de configuración conservados con sus cambios</numerusform>
        </translation>
    </message>
    <message>
        <source>The computer restarted after it.</source>
        <translation>El equipo se reinició después.</translation>
    </message>
    <message>
        <source>Log: %1</source>
        <translation>Registro: %1</translation>
    </message>
    <message>
        <source>No updates found.</source>
        <translation>No se encontraron actualizaciones.</translation>
    </message>
</context>
<context>
    <name>Notifier</name>
    <message>
        <source>The notice was shown; Sorvane Update opens.</source>
        <translation>Se mostró el aviso; se abre Sorvane Update.</translation>
    </message>
    <message>
        <source>The notice was shown and closed.</source>
        <translation>Se mostró el aviso y se cerró.</translation>
    </message>
    <message>
        <source>The notice was shown.</source>
        <translation>Se mostró el aviso.</translation>
    </message>
    <message>
        <source>No notice: these updates were announced before.</source>
        <translation>Sin aviso: estas actualizaciones ya se anunciaron.</translation>
    </message>
    <message>
        <source>No notice: nothing is waiting.</source>
        <translation>Sin aviso: no hay nada pendiente.</translation>
    </message>
    <message>
        <source>No notice: the check failed.</source>
        <translation>Sin aviso: la comprobación falló.</translation>
    </message>
    <message>
        <source>No notice: &quot;Tell me when updates are waiting&quot; is turned off.</source>
        <translation>Sin aviso: «Avisarme cuando haya actualizaciones pendientes» está desactivado.</translation>
    </message>
    <message>
        <source>No notice: there is no session bus.</source>
        <translation>Sin aviso: no hay bus de sesión.</translation>
    </message>
    <message>
        <source>No notice: nothing on the session bus shows notifications.</source>
        <translation>Sin aviso: nada en el bus de sesión muestra notificaciones.</translation>
    </message>
    <message>
        <source>No notice: the notification service refused it: %1</source>
        <translation>Sin aviso: el servicio de notificaciones lo rechazó: %1</translation>
    </message>
    <message>
        <source>Sorvane Update could not be opened.</source>
        <translation>No se pudo abrir Sorvane Update.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open log</source>
        <translation>Abrir registro</translation>
    </message>
    <message>
        <source>Nothing on this computer opens folders. The log is kept here:</source>
        <translation>Nada en este equipo abre carpetas. El registro está aquí:</translation>
    </message>
    <message>
        <source>Copy path</source>
        <translation>Copiar ruta</translation>
    </message>
    <message>
        <source>Copies where the log is kept</source>
        <translation>Copia dónde está el registro</translation>
    </message>
</context>
<context>
    <name>SystemWords</name>
    <message>
        <source>%1 gets regular security updates until %2.</source>
        <translation>%1 recibe actualizaciones de seguridad regulares hasta el %2.</translation>
    </message>
    <message>
        <source>%1 gets regular security updates until %2; long-term support until %3.</source>
        <translation>%1 recibe actualizaciones de seguridad regulares hasta el %2; soporte a largo plazo hasta el %3.</translation>
    </message>
    <message>
        <source>This computer is running on battery (%1 %).</source>
        <translation>Este equipo funciona con batería (%1 %).</translation>
    </message>
    <message>
        <source>This computer is running on battery.</source>
        <translation>Este equipo funciona con batería.</translation>
    </message>
    <message>
        <source>The battery is low: plug the computer in to update it, so that it cannot stop halfway.</source>
        <translation>La batería está baja: conecte el equipo a la corriente para actualizarlo, de modo que no pueda apagarse a mitad.</translation>
    </message>
    <message>
        <source>Power saver is on: the update may take longer.</source>
        <translation>El ahorro de energía está activado: la actualización puede tardar más.</translation>
    </message>
    <message>
        <source>This connection is metered: the update will download %1 over it.</source>
        <translation>Esta conexión es de uso medido: la actualización descargará %1 por ella.</translation>
    </message>
    <message>
        <source>This connection is metered: the update downloads its packages over it.</source>
        <translation>Esta conexión es de uso medido: la actualización descarga sus paquetes por ella.</translation>
    </message>
    <message>
        <source>The daily check did not look for updates: the connection was metered.</source>
        <translation>La comprobación diaria no buscó actualizaciones: la conexión era de uso medido.</translation>
    </message>
    <message>
        <source>Plug in to update</source>
        <translation>Conecte a la corriente para actualizar</translation>
    </message>
    <message>
        <source>Hide until regular support ends</source>
        <translation>Ocultar hasta que termine el soporte regular</translation>
    </message>
    <message>
        <source>%1 is in long-term support until %2.</source>
        <translation>%1 tiene soporte a largo plazo hasta el %2.</translation>
    </message>
    <message>
        <source>Hide until long-term support ends</source>
        <translation>Ocultar hasta que termine el soporte a largo plazo</translation>
    </message>
    <message>
        <source>%1 no longer gets regular security updates: its support ended on %2.</source>
        <translation>%1 ya no recibe actualizaciones de seguridad regulares: su soporte terminó el %2.</translation>
    </message>
    <message>
        <source>%1 no longer gets security updates: its long-term support ended on %2.</source>
        <translation>%1 ya no recibe actualizaciones de seguridad: su soporte a largo plazo terminó el %2.</translation>
    </message>
    <message>
        <source>How to upgrade</source>
        <translation>Cómo cambiar de versión</translation>
    </message>
    <message>
        <source>How to upgrade: %1</source>
        <translation>Cómo cambiar de versión: %1</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Advertencia: %1</translation>
    </message>
</context>
<context>
    <name>UpdateEnd</name>
    <message>
        <source>Restart now</source>
        <translation>Reiniciar ahora</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::DetailsPane</name>
    <message>
        <source>What&apos;s new</source>
        <translation>Novedades</translation>
    </message>
    <message>
        <source>Update details</source>
        <translation>Detalles de la actualización</translation>
    </message>
    <message>
        <source>Fetches what is new in the selected update</source>
        <translation>Obtiene las novedades de la actualización seleccionada</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::HistoryItems</name>
    <message>
        <source>When</source>
        <translation>Cuándo</translation>
    </message>
    <message>
        <source>Manager</source>
        <translation>Gestor</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>Cambios</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Resultado</translation>
    </message>
    <message>
        <source>Through</source>
        <translation>Mediante</translation>
    </message>
    <message numerus="yes">
        <source>%n update(s)</source>
        <translation>
            <numerusform>%n actualización</numerusform>
            <numerusform>%n actualizaciones</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n update(s)</source>
        <translation>
            <numerusform>%1 de %n actualización</numerusform>
            <numerusform>%1 de %n actualizaciones</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>sorvane::gui::HistoryPage</name>
    <message>
        <source>Open log</source>
        <translation>Abrir registro</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Historial</translation>
    </message>
    <message>
        <source>Filter by package name</source>
        <translation>Filtrar por nombre de paquete</translation>
    </message>
    <message>
        <source>Manager</source>
        <translation>Gestor</translation>
    </message>
    <message>
        <source>All managers</source>
        <translation>Todos los gestores</translation>
    </message>
    <message>
        <source>Updates, newest first</source>
        <translation>Actualizaciones, las más recientes primero</translation>
    </message>
    <message>
        <source>Updates shown</source>
        <translation>Actualizaciones mostradas</translation>
    </message>
    <message>
        <source>Sources that could not be read</source>
        <translation>Fuentes que no se pudieron leer</translation>
    </message>
    <message>
        <source>Opens the folder the log of the selected update is kept in</source>
        <translation>Abre la carpeta donde se guarda el registro de la actualización seleccionada</translation>
    </message>
    <message>
        <source>Reading the history…</source>
        <translation>Leyendo el historial…</translation>
    </message>
    <message>
        <source>%1 (reading older logs…)</source>
        <translation>%1 (leyendo registros anteriores…)</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::PackageDetails</name>
    <message>
        <source>Select an update to see what is new in it.</source>
        <translation>Seleccione una actualización para ver qué trae de nuevo.</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 %2 → %3</source>
        <translation>%1 %2 → %3</translation>
    </message>
    <message>
        <source>Advisories: %1</source>
        <translation>Avisos: %1</translation>
    </message>
    <message>
        <source>%1 does not say what is new in its updates.</source>
        <translation>%1 no indica qué hay de nuevo en sus actualizaciones.</translation>
    </message>
    <message>
        <source>Fetching what is new…</source>
        <translation>Obteniendo las novedades…</translation>
    </message>
    <message>
        <source>What is new could not be fetched: %1</source>
        <translation>No se pudieron obtener las novedades: %1</translation>
    </message>
    <message>
        <source>Nothing is written about this version.</source>
        <translation>No hay nada escrito sobre esta versión.</translation>
    </message>
    <message>
        <source>%1 has nothing to say about what is new in this update.</source>
        <translation>%1 no tiene nada que decir sobre las novedades de esta actualización.</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::ReadyPage</name>
    <message>
        <source>Package managers</source>
        <translation>Gestores de paquetes</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Actualizar</translation>
    </message>
    <message>
        <source>Check again</source>
        <translation>Volver a comprobar</translation>
    </message>
    <message>
        <source>Use my password anyway</source>
        <translation>Usar mi contraseña de todos modos</translation>
    </message>
    <message>
        <source>Repair…</source>
        <translation>Reparar…</translation>
    </message>
    <message>
        <source>Ready to update</source>
        <translation>Listo para actualizar</translation>
    </message>
    <message>
        <source>Your password</source>
        <translation>Su contraseña</translation>
    </message>
    <message>
        <source>Opens a terminal that finishes the unfinished installation</source>
        <translation>Abre un terminal que termina la instalación inacabada</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Detalles</translation>
    </message>
    <message>
        <source>Shows every pending update</source>
        <translation>Muestra cada actualización pendiente</translation>
    </message>
    <message>
        <source>Commands to run in a terminal</source>
        <translation>Órdenes para ejecutar en un terminal</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message>
        <source>Copies the commands</source>
        <translation>Copia las órdenes</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::RunPage</name>
    <message>
        <source>Steps</source>
        <translation>Pasos</translation>
    </message>
    <message>
        <source>Update progress</source>
        <translation>Progreso de la actualización</translation>
    </message>
    <message>
        <source>Latest output</source>
        <translation>Última salida</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Detalles</translation>
    </message>
    <message>
        <source>Shows the update&apos;s whole output</source>
        <translation>Muestra toda la salida de la actualización</translation>
    </message>
    <message>
        <source>Full log</source>
        <translation>Registro completo</translation>
    </message>
    <message>
        <source>Restart now</source>
        <translation>Reiniciar ahora</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Más tarde</translation>
    </message>
    <message>
        <source>Failed at %p%</source>
        <translation>Falló al %p %</translation>
    </message>
    <message>
        <source>The update failed</source>
        <translation>La actualización ha fallado</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateItems</name>
    <message>
        <source>waiting</source>
        <translation>en espera</translation>
    </message>
    <message>
        <source>running</source>
        <translation>en curso</translation>
    </message>
    <message>
        <source>done</source>
        <translation>terminado</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>falló</translation>
    </message>
    <message>
        <source>not run</source>
        <translation>no ejecutado</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Versión</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>updated</source>
        <translation>actualizado</translation>
    </message>
    <message>
        <source>not updated</source>
        <translation>no actualizado</translation>
    </message>
    <message>
        <source>security update</source>
        <translation>actualización de seguridad</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>kept back: %1</source>
        <translation>retenido: %1</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateModel</name>
    <message>
        <source>%1 cannot be checked.</source>
        <translation>No se puede comprobar %1.</translation>
    </message>
    <message>
        <source>%1 belongs to another user, who could change what runs as root.</source>
        <translation>%1 pertenece a otro usuario, que podría cambiar lo que se ejecuta como root.</translation>
    </message>
    <message>
        <source>%1 can be changed by other users, who could change what runs as root.</source>
        <translation>Otros usuarios pueden modificar %1 y con ello cambiar lo que se ejecuta como root.</translation>
    </message>
    <message>
        <source>%1 leads through too many links.</source>
        <translation>%1 pasa por demasiados enlaces simbólicos.</translation>
    </message>
    <message>
        <source>The update script cannot be read: %1</source>
        <translation>No se puede leer el script de actualización: %1</translation>
    </message>
    <message>
        <source>The update script&apos;s folder is not yours.</source>
        <translation>La carpeta del script de actualización no es suya.</translation>
    </message>
    <message>
        <source>Other users can change the update script&apos;s folder.</source>
        <translation>Otros usuarios pueden modificar la carpeta del script de actualización.</translation>
    </message>
    <message>
        <source>The update script is not a plain file.</source>
        <translation>El script de actualización no es un archivo normal.</translation>
    </message>
    <message>
        <source>The update script is not yours.</source>
        <translation>El script de actualización no es suyo.</translation>
    </message>
    <message>
        <source>Other users can read or change the update script.</source>
        <translation>Otros usuarios pueden leer o modificar el script de actualización.</translation>
    </message>
    <message>
        <source>The update script is not the one Sorvane writes.</source>
        <translation>El script de actualización no es el que escribe Sorvane.</translation>
    </message>
    <message>
        <source>Sorvane Update</source>
        <translation>Sorvane Update</translation>
    </message>
    <message>
        <source>Packages are being updated</source>
        <translation>Se están actualizando paquetes</translation>
    </message>
    <message>
        <source>Sorvane Update cannot tell where it is installed.</source>
        <translation>Sorvane Update no puede determinar dónde está instalado.</translation>
    </message>
    <message>
        <source>No trusted system bash was found.</source>
        <translation>No se encontró ningún bash del sistema que sea de confianza.</translation>
    </message>
    <message>
        <source>No private folder could be made for the update: %1</source>
        <translation>No se pudo crear una carpeta privada para la actualización: %1</translation>
    </message>
    <message>
        <source>Looking for package managers took too long and was stopped.</source>
        <translation>La búsqueda de gestores de paquetes tardó demasiado y se detuvo.</translation>
    </message>
    <message>
        <source>Sorvane answered in a way this window does not understand.</source>
        <translation>Sorvane respondió de una forma que esta ventana no entiende.</translation>
    </message>
    <message>
        <source>sudo is not installed, and system packages can only be updated with it.</source>
        <translation>sudo no está instalado, y los paquetes del sistema solo se pueden actualizar con él.</translation>
    </message>
    <message>
        <source>An update is already running; it was started in another window. Here is how it goes.</source>
        <translation>Ya hay una actualización en curso, iniciada en otra ventana. Aquí puede seguir su progreso.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation>Buscando actualizaciones…</translation>
    </message>
    <message>
        <source>Your account may not install updates</source>
        <translation>Es posible que su cuenta no pueda instalar actualizaciones</translation>
    </message>
    <message>
        <source>The update would not succeed</source>
        <translation>La actualización no se completaría</translation>
    </message>
    <message>
        <source>Your system is up to date</source>
        <translation>Su sistema está al día</translation>
    </message>
    <message>
        <source>Ready to update</source>
        <translation>Listo para actualizar</translation>
    </message>
    <message>
        <source>Installing updates needs an administrator&apos;s rights, and your account is in none of the groups that have them (sudo, wheel or admin). Ask the person who looks after this computer to update it, or to give your account those rights.</source>
        <translation>Instalar actualizaciones requiere derechos de administrador, y su cuenta no está en ninguno de los grupos que los tienen (sudo, wheel o admin). Pida a la persona que administra este equipo que lo actualice o que conceda esos derechos a su cuenta.</translation>
    </message>
    <message>
        <source>Nothing is waiting. The update can still fetch the newest package lists.</source>
        <translation>No hay nada pendiente. Aun así, la actualización puede descargar las listas de paquetes más recientes.</translation>
    </message>
    <message>
        <source>Nothing is waiting.</source>
        <translation>No hay nada pendiente.</translation>
    </message>
    <message>
        <source>The password is longer than sudo accepts.</source>
        <translation>La contraseña es más larga de lo que sudo acepta.</translation>
    </message>
    <message>
        <source>The password cannot hold a line break or a NUL character.</source>
        <translation>La contraseña no puede contener un salto de línea ni un carácter NUL.</translation>
    </message>
    <message>
        <source>The package managers changed since the check. Here is what the update would do now.</source>
        <translation>Los gestores de paquetes cambiaron desde la comprobación. Esto es lo que haría ahora la actualización.</translation>
    </message>
    <message>
        <source>Another window has started an update meanwhile.</source>
        <translation>Mientras tanto, otra ventana ha iniciado una actualización.</translation>
    </message>
    <message>
        <source>sudo did not ask for the password, so it was not used and has been discarded.</source>
        <translation>sudo no pidió la contraseña, así que no se usó y se ha descartado.</translation>
    </message>
    <message>
        <source>Tell me when updates are waiting</source>
        <translation>Avisarme cuando haya actualizaciones pendientes</translation>
    </message>
    <message>
        <source>%1 is updating…</source>
        <translation>%1 está actualizando…</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>sudo did not allow the update</source>
        <translation>sudo no permitió la actualización</translation>
    </message>
    <message>
        <source>The password was not accepted</source>
        <translation>No se aceptó la contraseña</translation>
    </message>
    <message>
        <source>Password for %1</source>
        <translation>Contraseña de %1</translation>
    </message>
    <message>
        <source>%1 MB of output in the middle were left out of the log file to save space.</source>
        <translation>Se omitieron del registro %1 MB de salida intermedia para ahorrar espacio.</translation>
    </message>
    <message>
        <source>Checking the password…</source>
        <translation>Comprobando la contraseña…</translation>
    </message>
    <message>
        <source>Updating…</source>
        <translation>Actualizando…</translation>
    </message>
    <message>
        <source>Update complete</source>
        <translation>Actualización completada</translation>
    </message>
    <message>
        <source>Finished with warnings: %1 ended without an error but did not update %2</source>
        <translation>Terminado con advertencias: %1 terminó sin errores, pero no actualizó %2</translation>
    </message>
    <message>
        <source>Finished with warnings: “%1”</source>
        <translation>Terminado con advertencias: «%1»</translation>
    </message>
    <message>
        <source>Finished with warnings from %1: “%2”</source>
        <translation>Terminado con advertencias de %1: «%2»</translation>
    </message>
    <message>
        <source>The %1 step failed (exit status %2). Later steps did not run.</source>
        <translation>Falló el paso %1 (estado de salida %2). Los pasos siguientes no se ejecutaron.</translation>
    </message>
    <message>
        <source>The update failed (exit status %1).</source>
        <translation>La actualización falló (estado de salida %1).</translation>
    </message>
    <message>
        <source>%1: not run</source>
        <translation>%1: no se ejecutó</translation>
    </message>
    <message>
        <source>%1: failed</source>
        <translation>%1: falló</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1: terminado</translation>
    </message>
    <message>
        <source>Restart the computer to finish the update.</source>
        <translation>Reinicie el equipo para terminar la actualización.</translation>
    </message>
    <message>
        <source>The computer could not be restarted: %1</source>
        <translation>No se pudo reiniciar el equipo: %1</translation>
    </message>
    <message>
        <source>The update started at %1 finished.</source>
        <translation>La actualización iniciada a las %1 terminó.</translation>
    </message>
    <message>
        <source>The update started at %1 finished: %2.</source>
        <translation>La actualización iniciada a las %1 terminó: %2.</translation>
    </message>
    <message>
        <source>The update started at %1 finished with warnings.</source>
        <translation>La actualización iniciada a las %1 terminó con advertencias.</translation>
    </message>
    <message>
        <source>The update started at %1 finished with warnings from %2.</source>
        <translation>La actualización iniciada a las %1 terminó con advertencias de %2.</translation>
    </message>
    <message>
        <source>The update started at %1 did not finish.</source>
        <translation>La actualización iniciada a las %1 no terminó.</translation>
    </message>
    <message>
        <source>The update started at %1 failed at %2.</source>
        <translation>La actualización iniciada a las %1 falló en %2.</translation>
    </message>
    <message>
        <source>%1: %2 (not updated)</source>
        <translation>%1: %2 (sin actualizar)</translation>
    </message>
    <message>
        <source>The computer cannot be restarted from here: logind, which restarts it, is not running. Restart it from the system menu.</source>
        <translation>El equipo no se puede reiniciar desde aquí: logind, que lo reinicia, no está en marcha. Reinícielo desde el menú del sistema.</translation>
    </message>
    <message>
        <source>The computer was not restarted: nothing could ask you for permission to restart it.</source>
        <translation>El equipo no se reinició: nada pudo pedirle permiso para reiniciarlo.</translation>
    </message>
    <message>
        <source>The computer was not restarted: permission to restart it was not given.</source>
        <translation>El equipo no se reinició: no se dio permiso para reiniciarlo.</translation>
    </message>
    <message>
        <source>The computer is restarting.</source>
        <translation>El equipo se está reiniciando.</translation>
    </message>
    <message>
        <source>The update did not finish, or how it ended is not known.</source>
        <translation>La actualización no terminó, o no se sabe cómo terminó.</translation>
    </message>
    <message>
        <source>The %1 step failed: the filesystem of %2 is full (%3 free). Make room there — “sudo apt clean” removes the packages apt has downloaded — then update again.</source>
        <translation>El paso de %1 ha fallado: el sistema de archivos de %2 está lleno (%3 libres). Libere espacio allí —«sudo apt clean» elimina los paquetes que apt ha descargado— y vuelva a actualizar.</translation>
    </message>
    <message>
        <source>The %1 step failed: a package server could not be reached. Check the network connection, then update again.</source>
        <translation>El paso de %1 ha fallado: no se pudo contactar con un servidor de paquetes. Compruebe la conexión de red y vuelva a actualizar.</translation>
    </message>
    <message>
        <source>The %1 step failed: the package server %2 could not be reached. Check the network connection, then update again.</source>
        <translation>El paso de %1 ha fallado: no se pudo contactar con el servidor de paquetes %2. Compruebe la conexión de red y vuelva a actualizar.</translation>
    </message>
    <message>
        <source>The %1 step failed: another program is using the package database. Wait until it has finished, then update again.</source>
        <translation>El paso de %1 ha fallado: otro programa está usando la base de datos de paquetes. Espere a que termine y vuelva a actualizar.</translation>
    </message>
    <message>
        <source>The %1 step failed: %2 is using the package database. Wait until it has finished, then update again.</source>
        <translation>El paso de %1 ha fallado: %2 está usando la base de datos de paquetes. Espere a que termine y vuelva a actualizar.</translation>
    </message>
    <message>
        <source>The %1 step failed: the package %2 could not be set up; its installation script failed. Its message is in Details. Other packages may be left unfinished.</source>
        <translation>El paso de %1 ha fallado: no se pudo configurar el paquete %2; su script de instalación falló. Su mensaje está en Detalles. Otros paquetes pueden haber quedado sin terminar.</translation>
    </message>
    <message>
        <source>The %1 step failed: the package %2 asked what to do with your changed configuration file %3, and no answer could be given here.</source>
        <translation>El paso de %1 ha fallado: el paquete %2 preguntó qué hacer con su archivo de configuración modificado %3, y aquí no se pudo dar ninguna respuesta.</translation>
    </message>
    <message>
        <source>The %1 step failed: “%2” Later steps did not run.</source>
        <translation>El paso de %1 ha fallado: «%2» Los pasos posteriores no se ejecutaron.</translation>
    </message>
    <message>
        <source>%1: downloading %2 of %3</source>
        <translation>%1: descargando %2 de %3</translation>
    </message>
    <message>
        <source>%1: unpacking %2 of %3</source>
        <translation>%1: desempaquetando %2 de %3</translation>
    </message>
    <message>
        <source>%1: setting up %2 of %3</source>
        <translation>%1: configurando %2 de %3</translation>
    </message>
    <message>
        <source>%1: installing %2 of %3</source>
        <translation>%1: instalando %2 de %3</translation>
    </message>
    <message>
        <source>Your changes to %1 were kept; the new version is beside it: %2.</source>
        <translation>Se conservaron sus cambios en %1; la versión nueva está al lado: %2.</translation>
    </message>
    <message>
        <source>The repair runs in the terminal. When the terminal is closed, this window checks again.</source>
        <translation>La reparación se ejecuta en el terminal. Cuando se cierre el terminal, esta ventana volverá a comprobar.</translation>
    </message>
    <message>
        <source>No terminal program was found (xdg-terminal-exec or x-terminal-emulator). Open a terminal, run the command below and answer its questions there; a failing package&apos;s own message is shown there too.</source>
        <translation>No se encontró ningún programa de terminal (xdg-terminal-exec o x-terminal-emulator). Abra un terminal, ejecute la orden de abajo y responda allí a sus preguntas; el mensaje de un paquete que falle también se muestra allí.</translation>
    </message>
    <message>
        <source>Repair… opens a terminal that runs %1. Type your password there and answer any question it asks. If a package&apos;s setup fails again, its own message is shown in the terminal. When the terminal is closed, this window checks again.</source>
        <translation>«Reparar…» abre un terminal que ejecuta %1. Escriba allí su contraseña y responda a cualquier pregunta. Si la configuración de un paquete vuelve a fallar, su propio mensaje se muestra en el terminal. Cuando se cierre el terminal, esta ventana volverá a comprobar.</translation>
    </message>
    <message>
        <source>Press Enter to close this window.</source>
        <translation>Pulse Intro para cerrar esta ventana.</translation>
    </message>
    <message numerus="yes">
        <source>%n update(s) are ready</source>
        <translation>
            <numerusform>Hay %n actualización lista</numerusform>
            <numerusform>Hay %n actualizaciones listas</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) updated by %1</source>
        <translation>
            <numerusform>%n paquete actualizado por %1</numerusform>
            <numerusform>%n paquetes actualizados por %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restart the computer to finish the update: %1 take(s) effect only then.</source>
        <translation>
            <numerusform>Reinicie el equipo para terminar la actualización: %1 solo surte efecto entonces.</numerusform>
            <numerusform>Reinicie el equipo para terminar la actualización: %1 solo surten efecto entonces.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n package(s) updated</source>
        <translation>
            <numerusform>%1: %n paquete actualizado</numerusform>
            <numerusform>%1: %n paquetes actualizados</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 of %n app(s) and runtime(s) updated</source>
        <translation>
            <numerusform>%1: %2 de %n aplicación o entorno de ejecución actualizados</numerusform>
            <numerusform>%1: %2 de %n aplicaciones y entornos de ejecución actualizados</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: %2, %3</source>
        <translation>%1: %2, %3</translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) updated</source>
        <translation>
            <numerusform>%n paquete actualizado</numerusform>
            <numerusform>%n paquetes actualizados</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) kept back</source>
        <translation>
            <numerusform>%n paquete sin actualizar</numerusform>
            <numerusform>%n paquetes sin actualizar</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Your changes to %n configuration file(s) were kept; the new versions are beside them: %1.</source>
        <translation>
            <numerusform>Se conservaron sus cambios en %n archivo de configuración; la versión nueva está al lado: %1.</numerusform>
            <numerusform>Se conservaron sus cambios en %n archivos de configuración; las versiones nuevas están al lado: %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Actualizar</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateRun</name>
    <message>
        <source>No private folder could be made for the update: %1</source>
        <translation>No se pudo crear una carpeta privada para la actualización: %1</translation>
    </message>
    <message>
        <source>The update could not start: %1</source>
        <translation>No se pudo iniciar la actualización: %1</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateTree</name>
    <message>
        <source>Filter packages</source>
        <translation>Filtrar paquetes</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateWindow</name>
    <message>
        <source>Check again</source>
        <translation>Volver a comprobar</translation>
    </message>
    <message>
        <source>No supported package managers found</source>
        <translation>No se encontró ningún gestor de paquetes compatible</translation>
    </message>
    <message>
        <source>Sorvane Update</source>
        <translation>Sorvane Update</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Looking for package managers…</source>
        <translation>Buscando gestores de paquetes…</translation>
    </message>
    <message>
        <source>There is nothing for Sorvane to update on this computer.</source>
        <translation>No hay nada que Sorvane pueda actualizar en este equipo.</translation>
    </message>
    <message>
        <source>Nothing was updated</source>
        <translation>No se actualizó nada</translation>
    </message>
    <message>
        <source>Close while updating?</source>
        <translation>¿Cerrar durante la actualización?</translation>
    </message>
    <message>
        <source>The update will go on to its end without this window. Close it?</source>
        <translation>La actualización continuará hasta el final sin esta ventana. ¿Cerrarla?</translation>
    </message>
    <message>
        <source>Looking for package managers</source>
        <translation>Buscando gestores de paquetes</translation>
    </message>
    <message>
        <source>Restart now</source>
        <translation>Reiniciar ahora</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Más tarde</translation>
    </message>
    <message>
        <source>Copy log</source>
        <translation>Copiar registro</translation>
    </message>
    <message>
        <source>Copies the update&apos;s whole log</source>
        <translation>Copia el registro completo de la actualización</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Open log</source>
        <translation>Abrir registro</translation>
    </message>
    <message>
        <source>Opens the folder the update&apos;s log is kept in</source>
        <translation>Abre la carpeta donde se guarda el registro de la actualización</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Historial</translation>
    </message>
    <message>
        <source>Shows what every package manager did before</source>
        <translation>Muestra lo que cada gestor de paquetes hizo antes</translation>
    </message>
</context>
</TS>
