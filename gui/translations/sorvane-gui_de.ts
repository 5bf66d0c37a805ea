<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>CheckText</name>
    <message>
        <source>lists</source>
        <translation>Paketlisten</translation>
    </message>
    <message>
        <source>package database</source>
        <translation>Paketdatenbank</translation>
    </message>
    <message>
        <source>%1 — checking for updates…</source>
        <translation>%1 — Suche nach Aktualisierungen…</translation>
    </message>
    <message>
        <source>just now</source>
        <translation>gerade eben</translation>
    </message>
    <message>
        <source>could not check: %1</source>
        <translation>Prüfung nicht möglich: %1</translation>
    </message>
    <message>
        <source>no package repository is configured</source>
        <translation>keine Paketquelle eingerichtet</translation>
    </message>
    <message>
        <source>no package repository is enabled</source>
        <translation>keine Paketquelle aktiviert</translation>
    </message>
    <message>
        <source>the snap service (snapd) is not running</source>
        <translation>der Snap-Dienst (snapd) läuft nicht</translation>
    </message>
    <message>
        <source>an earlier installation was left unfinished: %1</source>
        <translation>eine frühere Installation wurde nicht abgeschlossen: %1</translation>
    </message>
    <message>
        <source>in use by another program: %1</source>
        <translation>wird von einem anderen Programm verwendet: %1</translation>
    </message>
    <message>
        <source>this computer is not connected to a network</source>
        <translation>dieser Computer ist mit keinem Netzwerk verbunden</translation>
    </message>
    <message>
        <source>This is often Debian&apos;s own pacman, installed to build packages for Arch Linux: remove it (sudo apt remove pacman-package-manager makepkg) or configure a repository in /etc/pacman.conf.</source>
        <translation>Häufig ist das Debians eigenes pacman, das zum Bauen von Paketen für Arch Linux installiert wurde: Entfernen Sie es (sudo apt remove pacman-package-manager makepkg) oder richten Sie in /etc/pacman.conf eine Paketquelle ein.</translation>
    </message>
    <message>
        <source>Enable a repository, or remove %1.</source>
        <translation>Aktivieren Sie eine Paketquelle oder entfernen Sie %1.</translation>
    </message>
    <message>
        <source>Start it (sudo systemctl enable --now snapd.socket), or remove snapd.</source>
        <translation>Starten Sie ihn (sudo systemctl enable --now snapd.socket) oder entfernen Sie snapd.</translation>
    </message>
    <message>
        <source>Finish it first: sudo dpkg --configure -a</source>
        <translation>Schließen Sie sie zuerst ab: sudo dpkg --configure -a</translation>
    </message>
    <message>
        <source>Wait until it has finished.</source>
        <translation>Warten Sie, bis es fertig ist.</translation>
    </message>
    <message>
        <source>Connect to a network.</source>
        <translation>Verbinden Sie sich mit einem Netzwerk.</translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
    <message>
        <source>%1 — cannot update: %2</source>
        <translation>%1 — Aktualisierung nicht möglich: %2</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message numerus="yes">
        <source>nothing to update, %n kept back</source>
        <translation>
            <numerusform>nichts zu aktualisieren, %n zurückgehalten</numerusform>
            <numerusform>nichts zu aktualisieren, %n zurückgehalten</numerusform>
        </translation>
    </message>
    <message>
        <source>up to date</source>
        <translation>aktuell</translation>
    </message>
    <message>
        <source>%1 to download</source>
        <translation>%1 herunterzuladen</translation>
    </message>
    <message>
        <source>%1 from %2</source>
        <translation>Stand der %1: %2</translation>
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
        <translation>%1 (Sicherheit)</translation>
    </message>
    <message>
        <source>The update would stop at %1.</source>
        <translation>Die Aktualisierung würde bei %1 abbrechen.</translation>
    </message>
    <message>
        <source>It is a security update.</source>
        <translation>Es ist eine Sicherheitsaktualisierung.</translation>
    </message>
    <message>
        <source>Open Sorvane Update</source>
        <translation>Sorvane Update öffnen</translation>
    </message>
    <message>
        <source>Your changes to %1 will be kept; if the update brings a new version of it, that goes beside it.</source>
        <translation>Ihre Änderungen an %1 bleiben erhalten; bringt die Aktualisierung eine neue Fassung davon, wird sie daneben abgelegt.</translation>
    </message>
    <message>
        <source>There is not enough room on %1: the update needs about %2 there, and %3 is free.</source>
        <translation>Auf %1 ist nicht genug Platz: Die Aktualisierung braucht dort etwa %2, frei sind %3.</translation>
    </message>
    <message>
        <source>To make room: %1.</source>
        <translation>So schaffen Sie Platz: %1.</translation>
    </message>
    <message>
        <source>This computer is not connected to a network, so the update could download nothing. Connect, then check again.</source>
        <translation>Dieser Computer ist mit keinem Netzwerk verbunden, daher könnte die Aktualisierung nichts herunterladen. Stellen Sie eine Verbindung her und prüfen Sie dann erneut.</translation>
    </message>
    <message>
        <source>The update would stop at %1, and leave %2 alone.</source>
        <translation>Die Aktualisierung würde bei %1 abbrechen und %2 unberührt lassen.</translation>
    </message>
    <message>
        <source>Then check again.</source>
        <translation>Prüfen Sie dann erneut.</translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s) ago</source>
        <translation>
            <numerusform>vor %n Minute</numerusform>
            <numerusform>vor %n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s) ago</source>
        <translation>
            <numerusform>vor %n Stunde</numerusform>
            <numerusform>vor %n Stunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) ago</source>
        <translation>
            <numerusform>vor %n Tag</numerusform>
            <numerusform>vor %n Tagen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n update(s)</source>
        <translation>
            <numerusform>%n Aktualisierung</numerusform>
            <numerusform>%n Aktualisierungen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n security)</source>
        <translation>
            <numerusform>%1 (%n sicherheitsrelevant)</numerusform>
            <numerusform>%1 (%n sicherheitsrelevant)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Your changes to %n configuration file(s) will be kept (%1); where the update brings new versions, they go beside them.</source>
        <translation>
            <numerusform>Ihre Änderungen an %n Konfigurationsdatei bleiben erhalten (%1); bringt die Aktualisierung eine neue Fassung, wird sie daneben abgelegt.</numerusform>
            <numerusform>Ihre Änderungen an %n Konfigurationsdateien bleiben erhalten (%1); bringt die Aktualisierung neue Fassungen, werden sie daneben abgelegt.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n update(s) are waiting</source>
        <translation>
            <numerusform>%n Aktualisierung wartet</numerusform>
            <numerusform>%n Aktualisierungen warten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them are security updates.</source>
        <translation>
            <numerusform>%n davon ist eine Sicherheitsaktualisierung.</numerusform>
            <numerusform>%n davon sind Sicherheitsaktualisierungen.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 (kept back: %2)</source>
        <translation>%1 (zurückgehalten: %2)</translation>
    </message>
    <message>
        <source>held: you or an administrator told %1 not to update it</source>
        <translation>gesperrt: Sie oder ein Administrator haben %1 angewiesen, es nicht zu aktualisieren</translation>
    </message>
    <message>
        <source>being rolled out to %1 % of computers</source>
        <translation>wird schrittweise an %1 % der Computer verteilt</translation>
    </message>
    <message>
        <source>being rolled out to some computers first</source>
        <translation>wird zuerst an einen Teil der Computer verteilt</translation>
    </message>
    <message>
        <source>its new version needs changes to other packages that this update does not make</source>
        <translation>seine neue Version erfordert Änderungen an anderen Paketen, die diese Aktualisierung nicht vornimmt</translation>
    </message>
    <message>
        <source>checked %1</source>
        <translation>geprüft %1</translation>
    </message>
    <message>
        <source>The lists could not be refreshed for this check (%1): this is what they knew when they were last refreshed.</source>
        <translation>Die Paketlisten konnten für diese Prüfung nicht aufgefrischt werden (%1): Dies ist ihr Stand von der letzten Auffrischung.</translation>
    </message>
    <message>
        <source>not checked on a metered connection</source>
        <translation>auf einer getakteten Verbindung nicht geprüft</translation>
    </message>
    <message>
        <source>%1, which is held, needs the version installed now</source>
        <translation>%1, das zurückgehalten wird, braucht die jetzt installierte Version</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show these options and exit.</source>
        <translation>Diese Optionen zeigen und beenden.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Die Version zeigen und beenden.</translation>
    </message>
    <message>
        <source>Check for updates without a window. Exit status: 0 up to date, 100 updates pending, 101 only held-back security updates, 1 the check failed.</source>
        <translation>Ohne Fenster nach Aktualisierungen suchen. Exit-Status: 0 aktuell, 100 Aktualisierungen ausstehend, 101 nur zurückgehaltene Sicherheitsaktualisierungen, 1 die Prüfung ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>With --check or --history: write JSON.</source>
        <translation>Mit --check oder --history: JSON ausgeben.</translation>
    </message>
    <message>
        <source>With --check: show a desktop notice when updates are waiting.</source>
        <translation>Mit --check: eine Desktop-Benachrichtigung zeigen, wenn Aktualisierungen warten.</translation>
    </message>
    <message>
        <source>With --check: write the check as Prometheus metrics.</source>
        <translation>Mit --check: die Prüfung als Prometheus-Metriken ausgeben.</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>With --prometheus: write the metrics to FILE (for the node exporter&apos;s textfile collector) rather than to stdout.</source>
        <translation>Mit --prometheus: die Metriken in FILE schreiben (für den Textfile-Collector des Node Exporters) statt auf die Standardausgabe.</translation>
    </message>
    <message>
        <source>With --check: answer as a Nagios or Icinga plugin.</source>
        <translation>Mit --check: als Nagios- oder Icinga-Plugin antworten.</translation>
    </message>
    <message>
        <source>RANGE</source>
        <translation>RANGE</translation>
    </message>
    <message>
        <source>With --nagios: warn when the pending updates are in RANGE (default 0).</source>
        <translation>Mit --nagios: warnen, wenn die ausstehenden Aktualisierungen in RANGE liegen (Standard 0).</translation>
    </message>
    <message>
        <source>With --nagios: critical when the security updates are in RANGE (default 0).</source>
        <translation>Mit --nagios: kritisch, wenn die Sicherheitsaktualisierungen in RANGE liegen (Standard 0).</translation>
    </message>
    <message>
        <source>With --nagios: warn when the package lists&apos; age in seconds is in RANGE.</source>
        <translation>Mit --nagios: warnen, wenn das Alter der Paketlisten in Sekunden in RANGE liegt.</translation>
    </message>
    <message>
        <source>With --nagios: critical when the package lists&apos; age in seconds is in RANGE.</source>
        <translation>Mit --nagios: kritisch, wenn das Alter der Paketlisten in Sekunden in RANGE liegt.</translation>
    </message>
    <message>
        <source>List every package manager&apos;s past transactions, newest first.</source>
        <translation>Die bisherigen Transaktionen jeder Paketverwaltung auflisten, die neuesten zuerst.</translation>
    </message>
    <message>
        <source>YYYY-MM-DD</source>
        <translation>YYYY-MM-DD</translation>
    </message>
    <message>
        <source>With --history: only transactions from that day on.</source>
        <translation>Mit --history: nur Transaktionen ab diesem Tag.</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>With --history: only transactions that touched NAME.</source>
        <translation>Mit --history: nur Transaktionen, die NAME betrafen.</translation>
    </message>
    <message>
        <source>Usage:</source>
        <translation>Aufruf:</translation>
    </message>
    <message>
        <source>Sorvane Update: the window that updates every package manager at once, and the same check without a window, for scripts, notices and monitoring.</source>
        <translation>Sorvane Update: das Fenster, das alle Paketverwaltungen auf einmal aktualisiert, und dieselbe Prüfung ohne Fenster, für Skripte, Benachrichtigungen und Überwachung.</translation>
    </message>
    <message>
        <source>unknown option: %1</source>
        <translation>unbekannte Option: %1</translation>
    </message>
    <message>
        <source>unexpected argument: %1</source>
        <translation>unerwartetes Argument: %1</translation>
    </message>
    <message>
        <source>%1 needs --check or --history</source>
        <translation>%1 braucht --check oder --history</translation>
    </message>
    <message>
        <source>%1 cannot be used with %2</source>
        <translation>%1 kann nicht mit %2 verwendet werden</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 ist doppelt angegeben</translation>
    </message>
    <message>
        <source>--package needs a package name</source>
        <translation>--package braucht einen Paketnamen</translation>
    </message>
    <message>
        <source>Try &apos;sorvane-gui --help&apos; for the options.</source>
        <translation>„sorvane-gui --help“ zeigt die Optionen.</translation>
    </message>
    <message>
        <source>not a date: %1</source>
        <translation>kein Datum: %1</translation>
    </message>
    <message>
        <source>Qt&apos;s options</source>
        <translation>Optionen von Qt</translation>
    </message>
</context>
<context>
    <name>HistoryText</name>
    <message>
        <source>succeeded</source>
        <translation>erfolgreich</translation>
    </message>
    <message>
        <source>succeeded with warnings</source>
        <translation>erfolgreich, mit Warnungen</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>unfinished</source>
        <translation>nicht beendet</translation>
    </message>
    <message>
        <source>upgraded</source>
        <translation>aktualisiert</translation>
    </message>
    <message>
        <source>installed</source>
        <translation>installiert</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>entfernt</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>geändert</translation>
    </message>
    <message numerus="yes">
        <source>%n upgraded</source>
        <translation>
            <numerusform>%n aktualisiert</numerusform>
            <numerusform>%n aktualisiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n installed</source>
        <translation>
            <numerusform>%n installiert</numerusform>
            <numerusform>%n installiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n removed</source>
        <translation>
            <numerusform>%n entfernt</numerusform>
            <numerusform>%n entfernt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n changed otherwise</source>
        <translation>
            <numerusform>%n anders geändert</numerusform>
            <numerusform>%n anders geändert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) changed</source>
        <translation>
            <numerusform>%n Paket geändert</numerusform>
            <numerusform>%n Pakete geändert</numerusform>
        </translation>
    </message>
    <message>
        <source>no packages changed</source>
        <translation>keine Pakete geändert</translation>
    </message>
    <message>
        <source>elsewhere</source>
        <translation>anderswo</translation>
    </message>
    <message>
        <source>Sorvane Update, with warnings</source>
        <translation>Sorvane Update, mit Warnungen</translation>
    </message>
    <message>
        <source>Sorvane Update, which failed</source>
        <translation>Sorvane Update, fehlgeschlagen</translation>
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
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1  %2  %3  %4  (through %5)</source>
        <translation>%1  %2  %3  %4  (über %5)</translation>
    </message>
    <message numerus="yes">
        <source>%n config file(s) kept as you changed them</source>
        <translation>
            <numerusform>%n Konfigurationsdatei mit Ihren Änderungen beibehalten</numerusform>
            <numerusform>%n Konfigurationsdateien mit Ihren Änderungen beibehalten</numerusform>
        </translation>
    </message>
    <message>
        <source>The computer restarted after it.</source>
        <translation>Der Computer wurde danach neu gestartet.</translation>
    </message>
    <message>
        <source>Log: %1</source>
        <translation>Protokoll: %1</translation>
    </message>
    <message>
        <source>No updates found.</source>
        <translation>Keine Aktualisierungen gefunden.</translation>
    </message>
</context>
<context>
    <name>Notifier</name>
    <message>
        <source>The notice was shown; Sorvane Update opens.</source>
        <translation>Der Hinweis wurde gezeigt; Sorvane Update wird geöffnet.</translation>
    </message>
    <message>
        <source>The notice was shown and closed.</source>
        <translation>Der Hinweis wurde gezeigt und geschlossen.</translation>
    </message>
    <message>
        <source>The notice was shown.</source>
        <translation>Der Hinweis wurde gezeigt.</translation>
    </message>
    <message>
        <source>No notice: these updates were announced before.</source>
        <translation>Kein Hinweis: Diese Aktualisierungen wurden schon gemeldet.</translation>
    </message>
    <message>
        <source>No notice: nothing is waiting.</source>
        <translation>Kein Hinweis: Es wartet nichts.</translation>
    </message>
    <message>
        <source>No notice: the check failed.</source>
        <translation>Kein Hinweis: Die Prüfung ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>No notice: &quot;Tell me when updates are waiting&quot; is turned off.</source>
        <translation>Kein Hinweis: „Melden, wenn Aktualisierungen warten“ ist ausgeschaltet.</translation>
    </message>
    <message>
        <source>No notice: there is no session bus.</source>
        <translation>Kein Hinweis: Es gibt keinen Sitzungsbus.</translation>
    </message>
    <message>
        <source>No notice: nothing on the session bus shows notifications.</source>
        <translation>Kein Hinweis: Auf dem Sitzungsbus zeigt nichts Benachrichtigungen an.</translation>
    </message>
    <message>
        <source>No notice: the notification service refused it: %1</source>
        <translation>Kein Hinweis: Der Benachrichtigungsdienst hat ihn abgelehnt: %1</translation>
    </message>
    <message>
        <source>Sorvane Update could not be opened.</source>
        <translation>Sorvane Update konnte nicht geöffnet werden.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open log</source>
        <translation>Protokoll öffnen</translation>
    </message>
    <message>
        <source>Nothing on this computer opens folders. The log is kept here:</source>
        <translation>Auf diesem Computer öffnet nichts Ordner. Das Protokoll liegt hier:</translation>
    </message>
    <message>
        <source>Copy path</source>
        <translation>Pfad kopieren</translation>
    </message>
    <message>
        <source>Copies where the log is kept</source>
        <translation>Kopiert, wo das Protokoll liegt</translation>
    </message>
</context>
<context>
    <name>SystemWords</name>
    <message>
        <source>%1 gets regular security updates until %2.</source>
        <translation>%1 erhält reguläre Sicherheitsaktualisierungen bis %2.</translation>
    </message>
    <message>
        <source>%1 gets regular security updates until %2; long-term support until %3.</source>
        <translation>%1 erhält reguläre Sicherheitsaktualisierungen bis %2; Langzeitunterstützung bis %3.</translation>
    </message>
    <message>
        <source>This computer is running on battery (%1 %).</source>
        <translation>Dieser Computer läuft mit Akku (%1 %).</translation>
    </message>
    <message>
        <source>This computer is running on battery.</source>
        <translation>Dieser Computer läuft mit Akku.</translation>
    </message>
    <message>
        <source>The battery is low: plug the computer in to update it, so that it cannot stop halfway.</source>
        <translation>Der Akku ist fast leer: Schließen Sie den Computer zum Aktualisieren an das Stromnetz an, damit er nicht mittendrin ausgeht.</translation>
    </message>
    <message>
        <source>Power saver is on: the update may take longer.</source>
        <translation>Der Energiesparmodus ist an: Die Aktualisierung kann länger dauern.</translation>
    </message>
    <message>
        <source>This connection is metered: the update will download %1 over it.</source>
        <translation>Diese Verbindung ist getaktet: Die Aktualisierung lädt darüber %1 herunter.</translation>
    </message>
    <message>
        <source>This connection is metered: the update downloads its packages over it.</source>
        <translation>Diese Verbindung ist getaktet: Die Aktualisierung lädt ihre Pakete darüber herunter.</translation>
    </message>
    <message>
        <source>The daily check did not look for updates: the connection was metered.</source>
        <translation>Die tägliche Prüfung hat nicht nach Aktualisierungen gesucht: Die Verbindung war getaktet.</translation>
    </message>
    <message>
        <source>Plug in to update</source>
        <translation>Zum Aktualisieren anschließen</translation>
    </message>
    <message>
        <source>Hide until regular support ends</source>
        <translation>Ausblenden, bis die reguläre Unterstützung endet</translation>
    </message>
    <message>
        <source>%1 is in long-term support until %2.</source>
        <translation>%1 erhält Langzeitunterstützung bis %2.</translation>
    </message>
    <message>
        <source>Hide until long-term support ends</source>
        <translation>Ausblenden, bis die Langzeitunterstützung endet</translation>
    </message>
    <message>
        <source>%1 no longer gets regular security updates: its support ended on %2.</source>
        <translation>%1 erhält keine regulären Sicherheitsaktualisierungen mehr: Die Unterstützung endete am %2.</translation>
    </message>
    <message>
        <source>%1 no longer gets security updates: its long-term support ended on %2.</source>
        <translation>%1 erhält keine Sicherheitsaktualisierungen mehr: Die Langzeitunterstützung endete am %2.</translation>
    </message>
    <message>
        <source>How to upgrade</source>
        <translation>So wechseln Sie die Version</translation>
    </message>
    <message>
        <source>How to upgrade: %1</source>
        <translation>So wechseln Sie die Version: %1</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Warnung: %1</translation>
    </message>
</context>
<context>
    <name>UpdateEnd</name>
    <message>
        <source>Restart now</source>
        <translation>Jetzt neu starten</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::DetailsPane</name>
    <message>
        <source>What&apos;s new</source>
        <translation>Was ist neu</translation>
    </message>
    <message>
        <source>Update details</source>
        <translation>Update-Details</translation>
    </message>
    <message>
        <source>Fetches what is new in the selected update</source>
        <translation>Ruft ab, was im ausgewählten Update neu ist</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::HistoryItems</name>
    <message>
        <source>When</source>
        <translation>Wann</translation>
    </message>
    <message>
        <source>Manager</source>
        <translation>Paketverwaltung</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>Änderungen</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Through</source>
        <translation>Über</translation>
    </message>
    <message numerus="yes">
        <source>%n update(s)</source>
        <translation>
            <numerusform>%n Aktualisierung</numerusform>
            <numerusform>%n Aktualisierungen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n update(s)</source>
        <translation>
            <numerusform>%1 von %n Aktualisierung</numerusform>
            <numerusform>%1 von %n Aktualisierungen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>sorvane::gui::HistoryPage</name>
    <message>
        <source>Open log</source>
        <translation>Protokoll öffnen</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>Filter by package name</source>
        <translation>Nach Paketname filtern</translation>
    </message>
    <message>
        <source>Manager</source>
        <translation>Paketverwaltung</translation>
    </message>
    <message>
        <source>All managers</source>
        <translation>Alle Paketverwaltungen</translation>
    </message>
    <message>
        <source>Updates, newest first</source>
        <translation>Aktualisierungen, neueste zuerst</translation>
    </message>
    <message>
        <source>Updates shown</source>
        <translation>Angezeigte Aktualisierungen</translation>
    </message>
    <message>
        <source>Sources that could not be read</source>
        <translation>Quellen, die nicht gelesen werden konnten</translation>
    </message>
    <message>
        <source>Opens the folder the log of the selected update is kept in</source>
        <translation>Öffnet den Ordner, in dem das Protokoll der gewählten Aktualisierung liegt</translation>
    </message>
    <message>
        <source>Reading the history…</source>
        <translation>Verlauf wird gelesen…</translation>
    </message>
    <message>
        <source>%1 (reading older logs…)</source>
        <translation>%1 (ältere Protokolle werden gelesen…)</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::PackageDetails</name>
    <message>
        <source>Select an update to see what is new in it.</source>
        <translation>Wählen Sie ein Update, um zu sehen, was es Neues bringt.</translation>
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
        <translation>Hinweise: %1</translation>
    </message>
    <message>
        <source>%1 does not say what is new in its updates.</source>
        <translation>%1 sagt nicht, was in seinen Updates neu ist.</translation>
    </message>
    <message>
        <source>Fetching what is new…</source>
        <translation>Neuigkeiten werden abgerufen…</translation>
    </message>
    <message>
        <source>What is new could not be fetched: %1</source>
        <translation>Neuigkeiten konnten nicht abgerufen werden: %1</translation>
    </message>
    <message>
        <source>Nothing is written about this version.</source>
        <translation>Zu dieser Version ist nichts vermerkt.</translation>
    </message>
    <message>
        <source>%1 has nothing to say about what is new in this update.</source>
        <translation>%1 sagt nichts darüber, was in diesem Update neu ist.</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::ReadyPage</name>
    <message>
        <source>Package managers</source>
        <translation>Paketverwaltungen</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Check again</source>
        <translation>Erneut prüfen</translation>
    </message>
    <message>
        <source>Use my password anyway</source>
        <translation>Trotzdem mein Passwort verwenden</translation>
    </message>
    <message>
        <source>Repair…</source>
        <translation>Reparieren…</translation>
    </message>
    <message>
        <source>Ready to update</source>
        <translation>Bereit zur Aktualisierung</translation>
    </message>
    <message>
        <source>Your password</source>
        <translation>Ihr Passwort</translation>
    </message>
    <message>
        <source>Opens a terminal that finishes the unfinished installation</source>
        <translation>Öffnet ein Terminal, das die unvollendete Installation abschließt</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Shows every pending update</source>
        <translation>Zeigt jede wartende Aktualisierung</translation>
    </message>
    <message>
        <source>Commands to run in a terminal</source>
        <translation>Im Terminal auszuführende Befehle</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Copies the commands</source>
        <translation>Kopiert die Befehle</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::RunPage</name>
    <message>
        <source>Steps</source>
        <translation>Schritte</translation>
    </message>
    <message>
        <source>Update progress</source>
        <translation>Fortschritt der Aktualisierung</translation>
    </message>
    <message>
        <source>Latest output</source>
        <translation>Letzte Ausgabe</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Shows the update&apos;s whole output</source>
        <translation>Zeigt die ganze Ausgabe der Aktualisierung</translation>
    </message>
    <message>
        <source>Full log</source>
        <translation>Vollständiges Protokoll</translation>
    </message>
    <message>
        <source>Restart now</source>
        <translation>Jetzt neu starten</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Später</translation>
    </message>
    <message>
        <source>Failed at %p%</source>
        <translation>Fehlgeschlagen bei %p %</translation>
    </message>
    <message>
        <source>The update failed</source>
        <translation>Die Aktualisierung ist fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateItems</name>
    <message>
        <source>waiting</source>
        <translation>wartet</translation>
    </message>
    <message>
        <source>running</source>
        <translation>läuft</translation>
    </message>
    <message>
        <source>done</source>
        <translation>fertig</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>not run</source>
        <translation>nicht ausgeführt</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>updated</source>
        <translation>aktualisiert</translation>
    </message>
    <message>
        <source>not updated</source>
        <translation>nicht aktualisiert</translation>
    </message>
    <message>
        <source>security update</source>
        <translation>Sicherheitsaktualisierung</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>kept back: %1</source>
        <translation>zurückgehalten: %1</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateModel</name>
    <message>
        <source>%1 cannot be checked.</source>
        <translation>%1 kann nicht geprüft werden.</translation>
    </message>
    <message>
        <source>%1 belongs to another user, who could change what runs as root.</source>
        <translation>%1 gehört einem anderen Benutzer, der ändern könnte, was als root ausgeführt wird.</translation>
    </message>
    <message>
        <source>%1 can be changed by other users, who could change what runs as root.</source>
        <translation>%1 kann von anderen Benutzern geändert werden, die so ändern könnten, was als root ausgeführt wird.</translation>
    </message>
    <message>
        <source>%1 leads through too many links.</source>
        <translation>%1 führt über zu viele symbolische Links.</translation>
    </message>
    <message>
        <source>The update script cannot be read: %1</source>
        <translation>Das Aktualisierungsskript kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The update script&apos;s folder is not yours.</source>
        <translation>Der Ordner des Aktualisierungsskripts gehört nicht Ihnen.</translation>
    </message>
    <message>
        <source>Other users can change the update script&apos;s folder.</source>
        <translation>Andere Benutzer können den Ordner des Aktualisierungsskripts ändern.</translation>
    </message>
    <message>
        <source>The update script is not a plain file.</source>
        <translation>Das Aktualisierungsskript ist keine normale Datei.</translation>
    </message>
    <message>
        <source>The update script is not yours.</source>
        <translation>Das Aktualisierungsskript gehört nicht Ihnen.</translation>
    </message>
    <message>
        <source>Other users can read or change the update script.</source>
        <translation>Andere Benutzer können das Aktualisierungsskript lesen oder ändern.</translation>
    </message>
    <message>
        <source>The update script is not the one Sorvane writes.</source>
        <translation>Das Aktualisierungsskript ist nicht das, welches Sorvane schreibt.</translation>
    </message>
    <message>
        <source>Sorvane Update</source>
        <translation>Sorvane Update</translation>
    </message>
    <message>
        <source>Packages are being updated</source>
        <translation>Pakete werden aktualisiert</translation>
    </message>
    <message>
        <source>Sorvane Update cannot tell where it is installed.</source>
        <translation>Sorvane Update kann nicht feststellen, wo es installiert ist.</translation>
    </message>
    <message>
        <source>No trusted system bash was found.</source>
        <translation>Es wurde keine vertrauenswürdige System-Bash gefunden.</translation>
    </message>
    <message>
        <source>No private folder could be made for the update: %1</source>
        <translation>Für die Aktualisierung konnte kein privater Ordner angelegt werden: %1</translation>
    </message>
    <message>
        <source>Looking for package managers took too long and was stopped.</source>
        <translation>Die Suche nach Paketverwaltungen dauerte zu lange und wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Sorvane answered in a way this window does not understand.</source>
        <translation>Sorvane hat auf eine Weise geantwortet, die dieses Fenster nicht versteht.</translation>
    </message>
    <message>
        <source>sudo is not installed, and system packages can only be updated with it.</source>
        <translation>sudo ist nicht installiert, und Systempakete können nur damit aktualisiert werden.</translation>
    </message>
    <message>
        <source>An update is already running; it was started in another window. Here is how it goes.</source>
        <translation>Es läuft bereits eine Aktualisierung; sie wurde in einem anderen Fenster gestartet. Hier sehen Sie ihren Verlauf.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation>Suche nach Aktualisierungen…</translation>
    </message>
    <message>
        <source>Your account may not install updates</source>
        <translation>Ihr Konto darf wahrscheinlich keine Aktualisierungen installieren</translation>
    </message>
    <message>
        <source>The update would not succeed</source>
        <translation>Die Aktualisierung würde nicht gelingen</translation>
    </message>
    <message>
        <source>Your system is up to date</source>
        <translation>Ihr System ist auf dem neuesten Stand</translation>
    </message>
    <message>
        <source>Ready to update</source>
        <translation>Bereit zur Aktualisierung</translation>
    </message>
    <message>
        <source>Installing updates needs an administrator&apos;s rights, and your account is in none of the groups that have them (sudo, wheel or admin). Ask the person who looks after this computer to update it, or to give your account those rights.</source>
        <translation>Zum Installieren von Aktualisierungen sind Administratorrechte nötig, und Ihr Konto ist in keiner der Gruppen, die sie haben (sudo, wheel oder admin). Bitten Sie die Person, die diesen Computer betreut, ihn zu aktualisieren oder Ihrem Konto diese Rechte zu geben.</translation>
    </message>
    <message>
        <source>Nothing is waiting. The update can still fetch the newest package lists.</source>
        <translation>Es steht nichts aus. Die Aktualisierung kann trotzdem die neuesten Paketlisten abrufen.</translation>
    </message>
    <message>
        <source>Nothing is waiting.</source>
        <translation>Es steht nichts aus.</translation>
    </message>
    <message>
        <source>The password is longer than sudo accepts.</source>
        <translation>Das Passwort ist länger, als sudo es annimmt.</translation>
    </message>
    <message>
        <source>The password cannot hold a line break or a NUL character.</source>
        <translation>Das Passwort darf keinen Zeilenumbruch und kein NUL-Zeichen enthalten.</translation>
    </message>
    <message>
        <source>The package managers changed since the check. Here is what the update would do now.</source>
        <translation>Die Paketverwaltungen haben sich seit der Prüfung geändert. Hier sehen Sie, was die Aktualisierung jetzt tun würde.</translation>
    </message>
    <message>
        <source>Another window has started an update meanwhile.</source>
        <translation>Ein anderes Fenster hat inzwischen eine Aktualisierung gestartet.</translation>
    </message>
    <message>
        <source>sudo did not ask for the password, so it was not used and has been discarded.</source>
        <translation>sudo hat nicht nach dem Passwort gefragt; es wurde daher nicht verwendet und verworfen.</translation>
    </message>
    <message>
        <source>Tell me when updates are waiting</source>
        <translation>Melden, wenn Aktualisierungen warten</translation>
    </message>
    <message>
        <source>%1 is updating…</source>
        <translation>%1 aktualisiert…</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>sudo did not allow the update</source>
        <translation>sudo hat die Aktualisierung nicht erlaubt</translation>
    </message>
    <message>
        <source>The password was not accepted</source>
        <translation>Das Passwort wurde nicht angenommen</translation>
    </message>
    <message>
        <source>Password for %1</source>
        <translation>Passwort für %1</translation>
    </message>
    <message>
        <source>%1 MB of output in the middle were left out of the log file to save space.</source>
        <translation>%1 MB Ausgabe aus der Mitte wurden nicht ins Protokoll geschrieben, um Platz zu sparen.</translation>
    </message>
    <message>
        <source>Checking the password…</source>
        <translation>Passwort wird geprüft…</translation>
    </message>
    <message>
        <source>Updating…</source>
        <translation>Aktualisierung läuft…</translation>
    </message>
    <message>
        <source>Update complete</source>
        <translation>Aktualisierung abgeschlossen</translation>
    </message>
    <message>
        <source>Finished with warnings: %1 ended without an error but did not update %2</source>
        <translation>Mit Warnungen beendet: %1 endete ohne Fehler, hat aber %2 nicht aktualisiert</translation>
    </message>
    <message>
        <source>Finished with warnings: “%1”</source>
        <translation>Mit Warnungen beendet: „%1“</translation>
    </message>
    <message>
        <source>Finished with warnings from %1: “%2”</source>
        <translation>Mit Warnungen von %1 beendet: „%2“</translation>
    </message>
    <message>
        <source>The %1 step failed (exit status %2). Later steps did not run.</source>
        <translation>Der Schritt %1 ist fehlgeschlagen (Exit-Status %2). Die folgenden Schritte wurden nicht ausgeführt.</translation>
    </message>
    <message>
        <source>The update failed (exit status %1).</source>
        <translation>Die Aktualisierung ist fehlgeschlagen (Exit-Status %1).</translation>
    </message>
    <message>
        <source>%1: not run</source>
        <translation>%1: nicht ausgeführt</translation>
    </message>
    <message>
        <source>%1: failed</source>
        <translation>%1: fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1: fertig</translation>
    </message>
    <message>
        <source>Restart the computer to finish the update.</source>
        <translation>Starten Sie den Computer neu, um die Aktualisierung abzuschließen.</translation>
    </message>
    <message>
        <source>The computer could not be restarted: %1</source>
        <translation>Der Computer konnte nicht neu gestartet werden: %1</translation>
    </message>
    <message>
        <source>The update started at %1 finished.</source>
        <translation>Die um %1 gestartete Aktualisierung ist abgeschlossen.</translation>
    </message>
    <message>
        <source>The update started at %1 finished: %2.</source>
        <translation>Die um %1 gestartete Aktualisierung ist abgeschlossen: %2.</translation>
    </message>
    <message>
        <source>The update started at %1 finished with warnings.</source>
        <translation>Die um %1 gestartete Aktualisierung endete mit Warnungen.</translation>
    </message>
    <message>
        <source>The update started at %1 finished with warnings from %2.</source>
        <translation>Die um %1 gestartete Aktualisierung endete mit Warnungen von %2.</translation>
    </message>
    <message>
        <source>The update started at %1 did not finish.</source>
        <translation>Die um %1 gestartete Aktualisierung wurde nicht beendet.</translation>
    </message>
    <message>
        <source>The update started at %1 failed at %2.</source>
        <translation>Die um %1 gestartete Aktualisierung ist bei %2 fehlgeschlagen.</translation>
    </message>
    <message>
        <source>%1: %2 (not updated)</source>
        <translation>%1: %2 (nicht aktualisiert)</translation>
    </message>
    <message>
        <source>The computer cannot be restarted from here: logind, which restarts it, is not running. Restart it from the system menu.</source>
        <translation>Der Computer kann von hier aus nicht neu gestartet werden: logind, das ihn neu startet, läuft nicht. Starten Sie ihn über das Systemmenü neu.</translation>
    </message>
    <message>
        <source>The computer was not restarted: nothing could ask you for permission to restart it.</source>
        <translation>Der Computer wurde nicht neu gestartet: Nichts konnte Sie um die Erlaubnis zum Neustart bitten.</translation>
    </message>
    <message>
        <source>The computer was not restarted: permission to restart it was not given.</source>
        <translation>Der Computer wurde nicht neu gestartet: Die Erlaubnis zum Neustart wurde nicht erteilt.</translation>
    </message>
    <message>
        <source>The computer is restarting.</source>
        <translation>Der Computer wird neu gestartet.</translation>
    </message>
    <message>
        <source>The update did not finish, or how it ended is not known.</source>
        <translation>Das Update wurde nicht abgeschlossen, oder wie es endete, ist nicht bekannt.</translation>
    </message>
    <message>
        <source>The %1 step failed: the filesystem of %2 is full (%3 free). Make room there — “sudo apt clean” removes the packages apt has downloaded — then update again.</source>
        <translation>Der Schritt %1 ist fehlgeschlagen: Das Dateisystem von %2 ist voll (%3 frei). Schaffen Sie dort Platz – „sudo apt clean“ entfernt die von apt heruntergeladenen Pakete – und aktualisieren Sie dann erneut.</translation>
    </message>
    <message>
        <source>The %1 step failed: a package server could not be reached. Check the network connection, then update again.</source>
        <translation>Der Schritt %1 ist fehlgeschlagen: Ein Paketserver war nicht erreichbar. Prüfen Sie die Netzwerkverbindung und aktualisieren Sie dann erneut.</translation>
    </message>
    <message>
        <source>The %1 step failed: the package server %2 could not be reached. Check the network connection, then update again.</source>
        <translation>Der Schritt %1 ist fehlgeschlagen: Der Paketserver %2 war nicht erreichbar. Prüfen Sie die Netzwerkverbindung und aktualisieren Sie dann erneut.</translation>
    </message>
    <message>
        <source>The %1 step failed: another program is using the package database. Wait until it has finished, then update again.</source>
        <translation>Der Schritt %1 ist fehlgeschlagen: Ein anderes Programm verwendet die Paketdatenbank. Warten Sie, bis es fertig ist, und aktualisieren Sie dann erneut.</translation>
    </message>
    <message>
        <source>The %1 step failed: %2 is using the package database. Wait until it has finished, then update again.</source>
        <translation>Der Schritt %1 ist fehlgeschlagen: %2 verwendet die Paketdatenbank. Warten Sie, bis es fertig ist, und aktualisieren Sie dann erneut.</translation>
    </message>
    <message>
        <source>The %1 step failed: the package %2 could not be set up; its installation script failed. Its message is in Details. Other packages may be left unfinished.</source>
        <translation>Der Schritt %1 ist fehlgeschlagen: Das Paket %2 konnte nicht eingerichtet werden; sein Installationsskript ist fehlgeschlagen. Seine Meldung steht unter Details. Andere Pakete sind möglicherweise unvollständig eingerichtet.</translation>
    </message>
    <message>
        <source>The %1 step failed: the package %2 asked what to do with your changed configuration file %3, and no answer could be given here.</source>
        <translation>Der Schritt %1 ist fehlgeschlagen: Das Paket %2 hat gefragt, was mit Ihrer geänderten Konfigurationsdatei %3 geschehen soll, und hier konnte keine Antwort gegeben werden.</translation>
    </message>
    <message>
        <source>The %1 step failed: “%2” Later steps did not run.</source>
        <translation>Der Schritt %1 ist fehlgeschlagen: „%2“ Spätere Schritte wurden nicht ausgeführt.</translation>
    </message>
    <message>
        <source>%1: downloading %2 of %3</source>
        <translation>%1: %2 von %3 werden heruntergeladen</translation>
    </message>
    <message>
        <source>%1: unpacking %2 of %3</source>
        <translation>%1: %2 von %3 werden entpackt</translation>
    </message>
    <message>
        <source>%1: setting up %2 of %3</source>
        <translation>%1: %2 von %3 werden eingerichtet</translation>
    </message>
    <message>
        <source>%1: installing %2 of %3</source>
        <translation>%1: %2 von %3 werden installiert</translation>
    </message>
    <message>
        <source>Your changes to %1 were kept; the new version is beside it: %2.</source>
        <translation>Ihre Änderungen an %1 wurden beibehalten; die neue Fassung liegt daneben: %2.</translation>
    </message>
    <message>
        <source>The repair runs in the terminal. When the terminal is closed, this window checks again.</source>
        <translation>Die Reparatur läuft im Terminal. Sobald das Terminal geschlossen ist, prüft dieses Fenster erneut.</translation>
    </message>
    <message>
        <source>No terminal program was found (xdg-terminal-exec or x-terminal-emulator). Open a terminal, run the command below and answer its questions there; a failing package&apos;s own message is shown there too.</source>
        <translation>Es wurde kein Terminalprogramm gefunden (xdg-terminal-exec oder x-terminal-emulator). Öffnen Sie ein Terminal, führen Sie den folgenden Befehl aus und beantworten Sie dort seine Fragen; die Meldung eines fehlschlagenden Pakets erscheint ebenfalls dort.</translation>
    </message>
    <message>
        <source>Repair… opens a terminal that runs %1. Type your password there and answer any question it asks. If a package&apos;s setup fails again, its own message is shown in the terminal. When the terminal is closed, this window checks again.</source>
        <translation>„Reparieren…“ öffnet ein Terminal, das %1 ausführt. Geben Sie dort Ihr Passwort ein und beantworten Sie alle Fragen. Schlägt die Einrichtung eines Pakets erneut fehl, steht seine eigene Meldung im Terminal. Sobald das Terminal geschlossen ist, prüft dieses Fenster erneut.</translation>
    </message>
    <message>
        <source>Press Enter to close this window.</source>
        <translation>Drücken Sie die Eingabetaste, um dieses Fenster zu schließen.</translation>
    </message>
    <message numerus="yes">
        <source>%n update(s) are ready</source>
        <translation>
            <numerusform>%n Aktualisierung ist bereit</numerusform>
            <numerusform>%n Aktualisierungen sind bereit</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) updated by %1</source>
        <translation>
            <numerusform>%n Paket von %1 aktualisiert</numerusform>
            <numerusform>%n Pakete von %1 aktualisiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restart the computer to finish the update: %1 take(s) effect only then.</source>
        <translation>
            <numerusform>Starten Sie den Computer neu, um die Aktualisierung abzuschließen: %1 wirkt erst dann.</numerusform>
            <numerusform>Starten Sie den Computer neu, um die Aktualisierung abzuschließen: %1 wirken erst dann.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n package(s) updated</source>
        <translation>
            <numerusform>%1: %n Paket aktualisiert</numerusform>
            <numerusform>%1: %n Pakete aktualisiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 of %n app(s) and runtime(s) updated</source>
        <translation>
            <numerusform>%1: %2 von %n App oder Laufzeitumgebung aktualisiert</numerusform>
            <numerusform>%1: %2 von %n Apps und Laufzeitumgebungen aktualisiert</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: %2, %3</source>
        <translation>%1: %2, %3</translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) updated</source>
        <translation>
            <numerusform>%n Paket aktualisiert</numerusform>
            <numerusform>%n Pakete aktualisiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) kept back</source>
        <translation>
            <numerusform>%n Paket zurückgehalten</numerusform>
            <numerusform>%n Pakete zurückgehalten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Your changes to %n configuration file(s) were kept; the new versions are beside them: %1.</source>
        <translation>
            <numerusform>Ihre Änderungen an %n Konfigurationsdatei wurden beibehalten; die neue Fassung liegt daneben: %1.</numerusform>
            <numerusform>Ihre Änderungen an %n Konfigurationsdateien wurden beibehalten; die neuen Fassungen liegen daneben: %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateRun</name>
    <message>
        <source>No private folder could be made for the update: %1</source>
        <translation>Für die Aktualisierung konnte kein privater Ordner angelegt werden: %1</translation>
    </message>
    <message>
        <source>The update could not start: %1</source>
        <translation>Die Aktualisierung konnte nicht gestartet werden: %1</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateTree</name>
    <message>
        <source>Filter packages</source>
        <translation>Pakete filtern</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateWindow</name>
    <message>
        <source>Check again</source>
        <translation>Erneut prüfen</translation>
    </message>
    <message>
        <source>No supported package managers found</source>
        <translation>Keine unterstützten Paketverwaltungen gefunden</translation>
    </message>
    <message>
        <source>Sorvane Update</source>
        <translation>Sorvane Update</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Looking for package managers…</source>
        <translation>Suche nach Paketverwaltungen…</translation>
    </message>
    <message>
        <source>There is nothing for Sorvane to update on this computer.</source>
        <translation>Auf diesem Computer gibt es nichts, was Sorvane aktualisieren könnte.</translation>
    </message>
    <message>
        <source>Nothing was updated</source>
        <translation>Es wurde nichts aktualisiert</translation>
    </message>
    <message>
        <source>Close while updating?</source>
        <translation>Während der Aktualisierung schließen?</translation>
    </message>
    <message>
        <source>The update will go on to its end without this window. Close it?</source>
        <translation>Die Aktualisierung läuft ohne dieses Fenster bis zum Ende weiter. Fenster schließen?</translation>
    </message>
    <message>
        <source>Looking for package managers</source>
        <translation>Paketverwaltungen werden gesucht</translation>
    </message>
    <message>
        <source>Restart now</source>
        <translation>Jetzt neu starten</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Später</translation>
    </message>
    <message>
        <source>Copy log</source>
        <translation>Protokoll kopieren</translation>
    </message>
    <message>
        <source>Copies the update&apos;s whole log</source>
        <translation>Kopiert das ganze Protokoll der Aktualisierung</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Open log</source>
        <translation>Protokoll öffnen</translation>
    </message>
    <message>
        <source>Opens the folder the update&apos;s log is kept in</source>
        <translation>Öffnet den Ordner, in dem das Protokoll der Aktualisierung liegt</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>Shows what every package manager did before</source>
        <translation>Zeigt, was jede Paketverwaltung bisher getan hat</translation>
    </message>
</context>
</TS>
