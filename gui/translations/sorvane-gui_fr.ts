<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>CheckText</name>
    <message>
        <source>lists</source>
        <translation>des listes de paquets</translation>
    </message>
    <message>
        <source>package database</source>
        <translation>de la base de données des paquets</translation>
    </message>
    <message>
        <source>%1 — checking for updates…</source>
        <translation>%1 — recherche de mises à jour…</translation>
    </message>
    <message>
        <source>just now</source>
        <translation>à l’instant</translation>
    </message>
    <message>
        <source>could not check: %1</source>
        <translation>vérification impossible&#xa0;: %1</translation>
    </message>
    <message>
        <source>no package repository is configured</source>
        <translation>aucun dépôt de paquets n’est configuré</translation>
    </message>
    <message>
        <source>no package repository is enabled</source>
        <translation>aucun dépôt de paquets n’est activé</translation>
    </message>
    <message>
        <source>the snap service (snapd) is not running</source>
        <translation>le service snap (snapd) n’est pas démarré</translation>
    </message>
    <message>
        <source>an earlier installation was left unfinished: %1</source>
        <translation>une installation précédente est restée inachevée&#xa0;: %1</translation>
    </message>
    <message>
        <source>in use by another program: %1</source>
        <translation>utilisé par un autre programme&#xa0;: %1</translation>
    </message>
    <message>
        <source>this computer is not connected to a network</source>
        <translation>cet ordinateur n’est connecté à aucun réseau</translation>
    </message>
    <message>
        <source>This is often Debian&apos;s own pacman, installed to build packages for Arch Linux: remove it (sudo apt remove pacman-package-manager makepkg) or configure a repository in /etc/pacman.conf.</source>
        <translation>Il s’agit souvent du pacman de Debian, installé pour construire des paquets pour Arch Linux&#xa0;: supprimez-le (sudo apt remove pacman-package-manager makepkg) ou configurez un dépôt dans /etc/pacman.conf.</translation>
    </message>
    <message>
        <source>Enable a repository, or remove %1.</source>
        <translation>Activez un dépôt ou supprimez %1.</translation>
    </message>
    <message>
        <source>Start it (sudo systemctl enable --now snapd.socket), or remove snapd.</source>
        <translation>Démarrez-le (sudo systemctl enable --now snapd.socket) ou supprimez snapd.</translation>
    </message>
    <message>
        <source>Finish it first: sudo dpkg --configure -a</source>
        <translation>Terminez-la d’abord&#xa0;: sudo dpkg --configure -a</translation>
    </message>
    <message>
        <source>Wait until it has finished.</source>
        <translation>Attendez qu’il ait terminé.</translation>
    </message>
    <message>
        <source>Connect to a network.</source>
        <translation>Connectez-vous à un réseau.</translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
    <message>
        <source>%1 — cannot update: %2</source>
        <translation>%1 — mise à jour impossible&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message numerus="yes">
        <source>nothing to update, %n kept back</source>
        <translation>
            <numerusform>rien à mettre à jour, %n retenu</numerusform>
            <numerusform>rien à mettre à jour, %n retenus</numerusform>
        </translation>
    </message>
    <message>
        <source>up to date</source>
        <translation>à jour</translation>
    </message>
    <message>
        <source>%1 to download</source>
        <translation>%1 à télécharger</translation>
    </message>
    <message>
        <source>%1 from %2</source>
        <translation>dernière mise à jour %1&#xa0;: %2</translation>
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
        <translation>%1 (sécurité)</translation>
    </message>
    <message>
        <source>The update would stop at %1.</source>
        <translation>La mise à jour s’arrêterait à %1.</translation>
    </message>
    <message>
        <source>It is a security update.</source>
        <translation>C’est une mise à jour de sécurité.</translation>
    </message>
    <message>
        <source>Open Sorvane Update</source>
        <translation>Ouvrir Sorvane Update</translation>
    </message>
    <message>
        <source>Your changes to %1 will be kept; if the update brings a new version of it, that goes beside it.</source>
        <translation>Vos modifications de %1 seront conservées&#xa0;; si la mise à jour en apporte une nouvelle version, elle est placée à côté.</translation>
    </message>
    <message>
        <source>There is not enough room on %1: the update needs about %2 there, and %3 is free.</source>
        <translation>Il n’y a pas assez de place sur %1&#xa0;: la mise à jour y a besoin d’environ %2, et %3 sont libres.</translation>
    </message>
    <message>
        <source>To make room: %1.</source>
        <translation>Pour faire de la place&#xa0;: %1.</translation>
    </message>
    <message>
        <source>This computer is not connected to a network, so the update could download nothing. Connect, then check again.</source>
        <translation>Cet ordinateur n’est connecté à aucun réseau&#xa0;: la mise à jour ne pourrait rien télécharger. Connectez-vous, puis vérifiez à nouveau.</translation>
    </message>
    <message>
        <source>The update would stop at %1, and leave %2 alone.</source>
        <translation>La mise à jour s’arrêterait à %1 et laisserait %2 de côté.</translation>
    </message>
    <message>
        <source>Then check again.</source>
        <translation>Puis vérifiez à nouveau.</translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s) ago</source>
        <translation>
            <numerusform>il y a %n minute</numerusform>
            <numerusform>il y a %n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s) ago</source>
        <translation>
            <numerusform>il y a %n heure</numerusform>
            <numerusform>il y a %n heures</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n day(s) ago</source>
        <translation>
            <numerusform>il y a %n jour</numerusform>
            <numerusform>il y a %n jours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n update(s)</source>
        <translation>
            <numerusform>%n mise à jour</numerusform>
            <numerusform>%n mises à jour</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n security)</source>
        <translation>
            <numerusform>%1 (dont %n de sécurité)</numerusform>
            <numerusform>%1 (dont %n de sécurité)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Your changes to %n configuration file(s) will be kept (%1); where the update brings new versions, they go beside them.</source>
        <translation>
            <numerusform>Vos modifications de %n fichier de configuration seront conservées (%1)&#xa0;; si la mise à jour en apporte une nouvelle version, elle est placée à côté.</numerusform>
            <numerusform>Vos modifications de %n fichiers de configuration seront conservées (%1)&#xa0;; si la mise à jour en apporte de nouvelles versions, elles sont placées à côté.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n update(s) are waiting</source>
        <translation>
            <numerusform>%n mise à jour est en attente</numerusform>
            <numerusform>%n mises à jour sont en attente</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them are security updates.</source>
        <translation>
            <numerusform>%n d’entre elles est une mise à jour de sécurité.</numerusform>
            <numerusform>%n d’entre elles sont des mises à jour de sécurité.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 (kept back: %2)</source>
        <translation>%1 (retenu : %2)</translation>
    </message>
    <message>
        <source>held: you or an administrator told %1 not to update it</source>
        <translation>bloqué : vous ou un administrateur avez demandé à %1 de ne pas le mettre à jour</translation>
    </message>
    <message>
        <source>being rolled out to %1 % of computers</source>
        <translation>en cours de déploiement sur %1 % des ordinateurs</translation>
    </message>
    <message>
        <source>being rolled out to some computers first</source>
        <translation>déployé d’abord sur une partie des ordinateurs</translation>
    </message>
    <message>
        <source>its new version needs changes to other packages that this update does not make</source>
        <translation>sa nouvelle version demande des changements à d’autres paquets que cette mise à jour ne fait pas</translation>
    </message>
    <message>
        <source>checked %1</source>
        <translation>vérifié %1</translation>
    </message>
    <message>
        <source>The lists could not be refreshed for this check (%1): this is what they knew when they were last refreshed.</source>
        <translation>Les listes n’ont pas pu être rafraîchies pour cette vérification (%1) : voici ce qu’elles savaient lors de leur dernier rafraîchissement.</translation>
    </message>
    <message>
        <source>not checked on a metered connection</source>
        <translation>non vérifié sur une connexion limitée</translation>
    </message>
    <message>
        <source>%1, which is held, needs the version installed now</source>
        <translation>%1, qui est bloqué, a besoin de la version installée actuellement</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show these options and exit.</source>
        <translation>Afficher ces options et quitter.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Afficher la version et quitter.</translation>
    </message>
    <message>
        <source>Check for updates without a window. Exit status: 0 up to date, 100 updates pending, 101 only held-back security updates, 1 the check failed.</source>
        <translation>Rechercher les mises à jour sans fenêtre. Code de sortie : 0 à jour, 100 mises à jour en attente, 101 seulement des mises à jour de sécurité retenues, 1 la vérification a échoué.</translation>
    </message>
    <message>
        <source>With --check or --history: write JSON.</source>
        <translation>Avec --check ou --history : écrire du JSON.</translation>
    </message>
    <message>
        <source>With --check: show a desktop notice when updates are waiting.</source>
        <translation>Avec --check : afficher une notification de bureau quand des mises à jour attendent.</translation>
    </message>
    <message>
        <source>With --check: write the check as Prometheus metrics.</source>
        <translation>Avec --check : écrire la vérification sous forme de métriques Prometheus.</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>With --prometheus: write the metrics to FILE (for the node exporter&apos;s textfile collector) rather than to stdout.</source>
        <translation>Avec --prometheus : écrire les métriques dans FILE (pour le collecteur textfile du node exporter) plutôt que sur la sortie standard.</translation>
    </message>
    <message>
        <source>With --check: answer as a Nagios or Icinga plugin.</source>
        <translation>Avec --check : répondre comme un plugin Nagios ou Icinga.</translation>
    </message>
    <message>
        <source>RANGE</source>
        <translation>RANGE</translation>
    </message>
    <message>
        <source>With --nagios: warn when the pending updates are in RANGE (default 0).</source>
        <translation>Avec --nagios : avertir quand les mises à jour en attente sont dans RANGE (0 par défaut).</translation>
    </message>
    <message>
        <source>With --nagios: critical when the security updates are in RANGE (default 0).</source>
        <translation>Avec --nagios : critique quand les mises à jour de sécurité sont dans RANGE (0 par défaut).</translation>
    </message>
    <message>
        <source>With --nagios: warn when the package lists&apos; age in seconds is in RANGE.</source>
        <translation>Avec --nagios : avertir quand l’âge des listes de paquets, en secondes, est dans RANGE.</translation>
    </message>
    <message>
        <source>With --nagios: critical when the package lists&apos; age in seconds is in RANGE.</source>
        <translation>Avec --nagios : critique quand l’âge des listes de paquets, en secondes, est dans RANGE.</translation>
    </message>
    <message>
        <source>List every package manager&apos;s past transactions, newest first.</source>
        <translation>Lister les transactions passées de chaque gestionnaire de paquets, les plus récentes d’abord.</translation>
    </message>
    <message>
        <source>YYYY-MM-DD</source>
        <translation>YYYY-MM-DD</translation>
    </message>
    <message>
        <source>With --history: only transactions from that day on.</source>
        <translation>Avec --history : seulement les transactions à partir de ce jour.</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>With --history: only transactions that touched NAME.</source>
        <translation>Avec --history : seulement les transactions qui ont touché NAME.</translation>
    </message>
    <message>
        <source>Usage:</source>
        <translation>Utilisation :</translation>
    </message>
    <message>
        <source>Sorvane Update: the window that updates every package manager at once, and the same check without a window, for scripts, notices and monitoring.</source>
        <translation>Sorvane Update : la fenêtre qui met à jour tous les gestionnaires de paquets à la fois, et la même vérification sans fenêtre, pour les scripts, les notifications et la supervision.</translation>
    </message>
    <message>
        <source>unknown option: %1</source>
        <translation>option inconnue : %1</translation>
    </message>
    <message>
        <source>unexpected argument: %1</source>
        <translation>argument inattendu : %1</translation>
    </message>
    <message>
        <source>%1 needs --check or --history</source>
        <translation>%1 demande --check ou --history</translation>
    </message>
    <message>
        <source>%1 cannot be used with %2</source>
        <translation>%1 ne peut pas être utilisé avec %2</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 est donné deux fois</translation>
    </message>
    <message>
        <source>--package needs a package name</source>
        <translation>--package demande un nom de paquet</translation>
    </message>
    <message>
        <source>Try &apos;sorvane-gui --help&apos; for the options.</source>
        <translation>Essayez « sorvane-gui --help » pour voir les options.</translation>
    </message>
    <message>
        <source>not a date: %1</source>
        <translation>pas une date : %1</translation>
    </message>
    <message>
        <source>Qt&apos;s options</source>
        <translation>options de Qt</translation>
    </message>
</context>
<context>
    <name>HistoryText</name>
    <message>
        <source>succeeded</source>
        <translation>réussie</translation>
    </message>
    <message>
        <source>succeeded with warnings</source>
        <translation>réussie, avec avertissements</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>échouée</translation>
    </message>
    <message>
        <source>unfinished</source>
        <translation>inachevée</translation>
    </message>
    <message>
        <source>upgraded</source>
        <translation>mis à jour</translation>
    </message>
    <message>
        <source>installed</source>
        <translation>installé</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>supprimé</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>modifié</translation>
    </message>
    <message numerus="yes">
        <source>%n upgraded</source>
        <translation>
            <numerusform>%n mis à jour</numerusform>
            <numerusform>%n mis à jour</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n installed</source>
        <translation>
            <numerusform>%n installé</numerusform>
            <numerusform>%n installés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n removed</source>
        <translation>
            <numerusform>%n supprimé</numerusform>
            <numerusform>%n supprimés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n changed otherwise</source>
        <translation>
            <numerusform>%n modifié autrement</numerusform>
            <numerusform>%n modifiés autrement</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) changed</source>
        <translation>
            <numerusform>%n paquet modifié</numerusform>
            <numerusform>%n paquets modifiés</numerusform>
        </translation>
    </message>
    <message>
        <source>no packages changed</source>
        <translation>aucun paquet modifié</translation>
    </message>
    <message>
        <source>elsewhere</source>
        <translation>ailleurs</translation>
    </message>
    <message>
        <source>Sorvane Update, with warnings</source>
        <translation>Sorvane Update, avec avertissements</translation>
    </message>
    <message>
        <source>Sorvane Update, which failed</source>
        <translation>Sorvane Update, qui a échoué</translation>
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
        <translation>Impossible de lire %1 : %2</translation>
    </message>
    <message>
        <source>%1  %2  %3  %4  (through %5)</source>
        <translation>%1  %2  %3  %4  (par %5)</translation>
    </message>
    <message numerus="yes">
        <source>%n config file(s) kept as you changed them</source>
        <translation>
            <numerusform>%n fichier de configuration conservé avec vos modifications</numerusform>
            <numerusform>%n fichiers de configuration conservés avec vos modifications</numerusform>
        </translation>
    </message>
    <message>
        <source>The computer restarted after it.</source>
        <translation>L’ordinateur a redémarré ensuite.</translation>
    </message>
    <message>
        <source>Log: %1</source>
        <translation>Journal : %1</translation>
    </message>
    <message>
        <source>No updates found.</source>
        <translation>Aucune mise à jour trouvée.</translation>
    </message>
</context>
<context>
    <name>Notifier</name>
    <message>
        <source>The notice was shown; Sorvane Update opens.</source>
        <translation>L’avis a été affiché&#xa0;; Sorvane Update s’ouvre.</translation>
    </message>
    <message>
        <source>The notice was shown and closed.</source>
        <translation>L’avis a été affiché puis fermé.</translation>
    </message>
    <message>
        <source>The notice was shown.</source>
        <translation>L’avis a été affiché.</translation>
    </message>
    <message>
        <source>No notice: these updates were announced before.</source>
        <translation>Pas d’avis&#xa0;: ces mises à jour ont déjà été annoncées.</translation>
    </message>
    <message>
        <source>No notice: nothing is waiting.</source>
        <translation>Pas d’avis&#xa0;: rien n’est en attente.</translation>
    </message>
    <message>
        <source>No notice: the check failed.</source>
        <translation>Pas d’avis&#xa0;: la vérification a échoué.</translation>
    </message>
    <message>
        <source>No notice: &quot;Tell me when updates are waiting&quot; is turned off.</source>
        <translation>Pas d’avis&#xa0;: «&#xa0;Me prévenir quand des mises à jour attendent&#xa0;» est désactivé.</translation>
    </message>
    <message>
        <source>No notice: there is no session bus.</source>
        <translation>Pas d’avis&#xa0;: il n’y a pas de bus de session.</translation>
    </message>
    <message>
        <source>No notice: nothing on the session bus shows notifications.</source>
        <translation>Pas d’avis&#xa0;: rien sur le bus de session n’affiche les notifications.</translation>
    </message>
    <message>
        <source>No notice: the notification service refused it: %1</source>
        <translation>Pas d’avis&#xa0;: le service de notifications l’a refusé&#xa0;: %1</translation>
    </message>
    <message>
        <source>Sorvane Update could not be opened.</source>
        <translation>Sorvane Update n’a pas pu être ouvert.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Open log</source>
        <translation>Ouvrir le journal</translation>
    </message>
    <message>
        <source>Nothing on this computer opens folders. The log is kept here:</source>
        <translation>Rien sur cet ordinateur n’ouvre les dossiers. Le journal se trouve ici :</translation>
    </message>
    <message>
        <source>Copy path</source>
        <translation>Copier le chemin</translation>
    </message>
    <message>
        <source>Copies where the log is kept</source>
        <translation>Copie l’emplacement du journal</translation>
    </message>
</context>
<context>
    <name>SystemWords</name>
    <message>
        <source>%1 gets regular security updates until %2.</source>
        <translation>%1 reçoit des mises à jour de sécurité régulières jusqu’au %2.</translation>
    </message>
    <message>
        <source>%1 gets regular security updates until %2; long-term support until %3.</source>
        <translation>%1 reçoit des mises à jour de sécurité régulières jusqu’au %2 ; support à long terme jusqu’au %3.</translation>
    </message>
    <message>
        <source>This computer is running on battery (%1 %).</source>
        <translation>Cet ordinateur fonctionne sur batterie (%1 %).</translation>
    </message>
    <message>
        <source>This computer is running on battery.</source>
        <translation>Cet ordinateur fonctionne sur batterie.</translation>
    </message>
    <message>
        <source>The battery is low: plug the computer in to update it, so that it cannot stop halfway.</source>
        <translation>La batterie est faible : branchez l’ordinateur pour le mettre à jour, afin qu’il ne puisse pas s’arrêter en cours de route.</translation>
    </message>
    <message>
        <source>Power saver is on: the update may take longer.</source>
        <translation>L’économie d’énergie est activée : la mise à jour peut prendre plus de temps.</translation>
    </message>
    <message>
        <source>This connection is metered: the update will download %1 over it.</source>
        <translation>Cette connexion est limitée : la mise à jour y téléchargera %1.</translation>
    </message>
    <message>
        <source>This connection is metered: the update downloads its packages over it.</source>
        <translation>Cette connexion est limitée : la mise à jour y télécharge ses paquets.</translation>
    </message>
    <message>
        <source>The daily check did not look for updates: the connection was metered.</source>
        <translation>La vérification quotidienne n’a pas cherché de mises à jour : la connexion était limitée.</translation>
    </message>
    <message>
        <source>Plug in to update</source>
        <translation>Branchez pour mettre à jour</translation>
    </message>
    <message>
        <source>Hide until regular support ends</source>
        <translation>Masquer jusqu’à la fin du support régulier</translation>
    </message>
    <message>
        <source>%1 is in long-term support until %2.</source>
        <translation>%1 est en support à long terme jusqu’au %2.</translation>
    </message>
    <message>
        <source>Hide until long-term support ends</source>
        <translation>Masquer jusqu’à la fin du support à long terme</translation>
    </message>
    <message>
        <source>%1 no longer gets regular security updates: its support ended on %2.</source>
        <translation>%1 ne reçoit plus de mises à jour de sécurité régulières : son support a pris fin le %2.</translation>
    </message>
    <message>
        <source>%1 no longer gets security updates: its long-term support ended on %2.</source>
        <translation>%1 ne reçoit plus de mises à jour de sécurité : son support à long terme a pris fin le %2.</translation>
    </message>
    <message>
        <source>How to upgrade</source>
        <translation>Comment changer de version</translation>
    </message>
    <message>
        <source>How to upgrade: %1</source>
        <translation>Comment changer de version : %1</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Avertissement : %1</translation>
    </message>
</context>
<context>
    <name>UpdateEnd</name>
    <message>
        <source>Restart now</source>
        <translation>Redémarrer maintenant</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::DetailsPane</name>
    <message>
        <source>What&apos;s new</source>
        <translation>Nouveautés</translation>
    </message>
    <message>
        <source>Update details</source>
        <translation>Détails de la mise à jour</translation>
    </message>
    <message>
        <source>Fetches what is new in the selected update</source>
        <translation>Récupère les nouveautés de la mise à jour sélectionnée</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::HistoryItems</name>
    <message>
        <source>When</source>
        <translation>Quand</translation>
    </message>
    <message>
        <source>Manager</source>
        <translation>Gestionnaire</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>Modifications</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>Résultat</translation>
    </message>
    <message>
        <source>Through</source>
        <translation>Par</translation>
    </message>
    <message numerus="yes">
        <source>%n update(s)</source>
        <translation>
            <numerusform>%n mise à jour</numerusform>
            <numerusform>%n mises à jour</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n update(s)</source>
        <translation>
            <numerusform>%1 sur %n mise à jour</numerusform>
            <numerusform>%1 sur %n mises à jour</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>sorvane::gui::HistoryPage</name>
    <message>
        <source>Open log</source>
        <translation>Ouvrir le journal</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Historique</translation>
    </message>
    <message>
        <source>Filter by package name</source>
        <translation>Filtrer par nom de paquet</translation>
    </message>
    <message>
        <source>Manager</source>
        <translation>Gestionnaire</translation>
    </message>
    <message>
        <source>All managers</source>
        <translation>Tous les gestionnaires</translation>
    </message>
    <message>
        <source>Updates, newest first</source>
        <translation>Mises à jour, les plus récentes d’abord</translation>
    </message>
    <message>
        <source>Updates shown</source>
        <translation>Mises à jour affichées</translation>
    </message>
    <message>
        <source>Sources that could not be read</source>
        <translation>Sources qui n’ont pas pu être lues</translation>
    </message>
    <message>
        <source>Opens the folder the log of the selected update is kept in</source>
        <translation>Ouvre le dossier où est conservé le journal de la mise à jour choisie</translation>
    </message>
    <message>
        <source>Reading the history…</source>
        <translation>Lecture de l’historique…</translation>
    </message>
    <message>
        <source>%1 (reading older logs…)</source>
        <translation>%1 (lecture des journaux plus anciens…)</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::PackageDetails</name>
    <message>
        <source>Select an update to see what is new in it.</source>
        <translation>Sélectionnez une mise à jour pour voir ce qu’elle apporte de nouveau.</translation>
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
        <translation>Avis&#xa0;: %1</translation>
    </message>
    <message>
        <source>%1 does not say what is new in its updates.</source>
        <translation>%1 ne dit pas ce qu’apportent ses mises à jour.</translation>
    </message>
    <message>
        <source>Fetching what is new…</source>
        <translation>Récupération des nouveautés…</translation>
    </message>
    <message>
        <source>What is new could not be fetched: %1</source>
        <translation>Impossible de récupérer les nouveautés&#xa0;: %1</translation>
    </message>
    <message>
        <source>Nothing is written about this version.</source>
        <translation>Rien n’est écrit sur cette version.</translation>
    </message>
    <message>
        <source>%1 has nothing to say about what is new in this update.</source>
        <translation>%1 n’a rien à dire sur les nouveautés de cette mise à jour.</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::ReadyPage</name>
    <message>
        <source>Package managers</source>
        <translation>Gestionnaires de paquets</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Mettre à jour</translation>
    </message>
    <message>
        <source>Check again</source>
        <translation>Vérifier à nouveau</translation>
    </message>
    <message>
        <source>Use my password anyway</source>
        <translation>Utiliser quand même mon mot de passe</translation>
    </message>
    <message>
        <source>Repair…</source>
        <translation>Réparer…</translation>
    </message>
    <message>
        <source>Ready to update</source>
        <translation>Prêt pour la mise à jour</translation>
    </message>
    <message>
        <source>Your password</source>
        <translation>Votre mot de passe</translation>
    </message>
    <message>
        <source>Opens a terminal that finishes the unfinished installation</source>
        <translation>Ouvre un terminal qui termine l’installation inachevée</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Détails</translation>
    </message>
    <message>
        <source>Shows every pending update</source>
        <translation>Affiche chaque mise à jour en attente</translation>
    </message>
    <message>
        <source>Commands to run in a terminal</source>
        <translation>Commandes à exécuter dans un terminal</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copier</translation>
    </message>
    <message>
        <source>Copies the commands</source>
        <translation>Copie les commandes</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::RunPage</name>
    <message>
        <source>Steps</source>
        <translation>Étapes</translation>
    </message>
    <message>
        <source>Update progress</source>
        <translation>Progression de la mise à jour</translation>
    </message>
    <message>
        <source>Latest output</source>
        <translation>Dernière sortie</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Détails</translation>
    </message>
    <message>
        <source>Shows the update&apos;s whole output</source>
        <translation>Affiche toute la sortie de la mise à jour</translation>
    </message>
    <message>
        <source>Full log</source>
        <translation>Journal complet</translation>
    </message>
    <message>
        <source>Restart now</source>
        <translation>Redémarrer maintenant</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Plus tard</translation>
    </message>
    <message>
        <source>Failed at %p%</source>
        <translation>Échec à %p %</translation>
    </message>
    <message>
        <source>The update failed</source>
        <translation>La mise à jour a échoué</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateItems</name>
    <message>
        <source>waiting</source>
        <translation>en attente</translation>
    </message>
    <message>
        <source>running</source>
        <translation>en cours</translation>
    </message>
    <message>
        <source>done</source>
        <translation>terminé</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>échec</translation>
    </message>
    <message>
        <source>not run</source>
        <translation>non exécuté</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>updated</source>
        <translation>mis à jour</translation>
    </message>
    <message>
        <source>not updated</source>
        <translation>non mis à jour</translation>
    </message>
    <message>
        <source>security update</source>
        <translation>mise à jour de sécurité</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>kept back: %1</source>
        <translation>retenu : %1</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateModel</name>
    <message>
        <source>%1 cannot be checked.</source>
        <translation>Impossible de vérifier %1.</translation>
    </message>
    <message>
        <source>%1 belongs to another user, who could change what runs as root.</source>
        <translation>%1 appartient à un autre utilisateur, qui pourrait modifier ce qui s’exécute en tant que root.</translation>
    </message>
    <message>
        <source>%1 can be changed by other users, who could change what runs as root.</source>
        <translation>D’autres utilisateurs peuvent modifier %1, et donc ce qui s’exécute en tant que root.</translation>
    </message>
    <message>
        <source>%1 leads through too many links.</source>
        <translation>%1 passe par trop de liens symboliques.</translation>
    </message>
    <message>
        <source>The update script cannot be read: %1</source>
        <translation>Impossible de lire le script de mise à jour&#xa0;: %1</translation>
    </message>
    <message>
        <source>The update script&apos;s folder is not yours.</source>
        <translation>Le dossier du script de mise à jour ne vous appartient pas.</translation>
    </message>
    <message>
        <source>Other users can change the update script&apos;s folder.</source>
        <translation>D’autres utilisateurs peuvent modifier le dossier du script de mise à jour.</translation>
    </message>
    <message>
        <source>The update script is not a plain file.</source>
        <translation>Le script de mise à jour n’est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <source>The update script is not yours.</source>
        <translation>Le script de mise à jour ne vous appartient pas.</translation>
    </message>
    <message>
        <source>Other users can read or change the update script.</source>
        <translation>D’autres utilisateurs peuvent lire ou modifier le script de mise à jour.</translation>
    </message>
    <message>
        <source>The update script is not the one Sorvane writes.</source>
        <translation>Le script de mise à jour n’est pas celui qu’écrit Sorvane.</translation>
    </message>
    <message>
        <source>Sorvane Update</source>
        <translation>Sorvane Update</translation>
    </message>
    <message>
        <source>Packages are being updated</source>
        <translation>Mise à jour des paquets en cours</translation>
    </message>
    <message>
        <source>Sorvane Update cannot tell where it is installed.</source>
        <translation>Sorvane Update ne parvient pas à déterminer où il est installé.</translation>
    </message>
    <message>
        <source>No trusted system bash was found.</source>
        <translation>Aucun bash système de confiance n’a été trouvé.</translation>
    </message>
    <message>
        <source>No private folder could be made for the update: %1</source>
        <translation>Impossible de créer un dossier privé pour la mise à jour&#xa0;: %1</translation>
    </message>
    <message>
        <source>Looking for package managers took too long and was stopped.</source>
        <translation>La recherche des gestionnaires de paquets a pris trop de temps et a été arrêtée.</translation>
    </message>
    <message>
        <source>Sorvane answered in a way this window does not understand.</source>
        <translation>Sorvane a répondu d’une manière que cette fenêtre ne comprend pas.</translation>
    </message>
    <message>
        <source>sudo is not installed, and system packages can only be updated with it.</source>
        <translation>sudo n’est pas installé, et les paquets système ne peuvent être mis à jour qu’avec lui.</translation>
    </message>
    <message>
        <source>An update is already running; it was started in another window. Here is how it goes.</source>
        <translation>Une mise à jour est déjà en cours&#xa0;; elle a été lancée dans une autre fenêtre. Voici son déroulement.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation>Recherche de mises à jour…</translation>
    </message>
    <message>
        <source>Your account may not install updates</source>
        <translation>Votre compte ne peut probablement pas installer de mises à jour</translation>
    </message>
    <message>
        <source>The update would not succeed</source>
        <translation>La mise à jour échouerait</translation>
    </message>
    <message>
        <source>Your system is up to date</source>
        <translation>Votre système est à jour</translation>
    </message>
    <message>
        <source>Ready to update</source>
        <translation>Prêt pour la mise à jour</translation>
    </message>
    <message>
        <source>Installing updates needs an administrator&apos;s rights, and your account is in none of the groups that have them (sudo, wheel or admin). Ask the person who looks after this computer to update it, or to give your account those rights.</source>
        <translation>L’installation des mises à jour nécessite des droits d’administrateur, et votre compte ne fait partie d’aucun des groupes qui les ont (sudo, wheel ou admin). Demandez à la personne qui s’occupe de cet ordinateur de le mettre à jour, ou de donner ces droits à votre compte.</translation>
    </message>
    <message>
        <source>Nothing is waiting. The update can still fetch the newest package lists.</source>
        <translation>Rien n’est en attente. La mise à jour peut tout de même récupérer les listes de paquets les plus récentes.</translation>
    </message>
    <message>
        <source>Nothing is waiting.</source>
        <translation>Rien n’est en attente.</translation>
    </message>
    <message>
        <source>The password is longer than sudo accepts.</source>
        <translation>Le mot de passe est plus long que ce que sudo accepte.</translation>
    </message>
    <message>
        <source>The password cannot hold a line break or a NUL character.</source>
        <translation>Le mot de passe ne peut contenir ni saut de ligne ni caractère NUL.</translation>
    </message>
    <message>
        <source>The package managers changed since the check. Here is what the update would do now.</source>
        <translation>Les gestionnaires de paquets ont changé depuis la vérification. Voici ce que ferait maintenant la mise à jour.</translation>
    </message>
    <message>
        <source>Another window has started an update meanwhile.</source>
        <translation>Entre-temps, une autre fenêtre a lancé une mise à jour.</translation>
    </message>
    <message>
        <source>sudo did not ask for the password, so it was not used and has been discarded.</source>
        <translation>sudo n’a pas demandé le mot de passe&#xa0;: il n’a donc pas été utilisé et a été effacé.</translation>
    </message>
    <message>
        <source>Tell me when updates are waiting</source>
        <translation>Me prévenir quand des mises à jour attendent</translation>
    </message>
    <message>
        <source>%1 is updating…</source>
        <translation>%1 met à jour…</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>sudo did not allow the update</source>
        <translation>sudo n’a pas autorisé la mise à jour</translation>
    </message>
    <message>
        <source>The password was not accepted</source>
        <translation>Le mot de passe n’a pas été accepté</translation>
    </message>
    <message>
        <source>Password for %1</source>
        <translation>Mot de passe de %1</translation>
    </message>
    <message>
        <source>%1 MB of output in the middle were left out of the log file to save space.</source>
        <translation>%1 Mo de sortie au milieu ont été omis du journal pour gagner de la place.</translation>
    </message>
    <message>
        <source>Checking the password…</source>
        <translation>Vérification du mot de passe…</translation>
    </message>
    <message>
        <source>Updating…</source>
        <translation>Mise à jour en cours…</translation>
    </message>
    <message>
        <source>Update complete</source>
        <translation>Mise à jour terminée</translation>
    </message>
    <message>
        <source>Finished with warnings: %1 ended without an error but did not update %2</source>
        <translation>Terminé avec des avertissements&#xa0;: %1 s’est terminé sans erreur mais n’a pas mis à jour %2</translation>
    </message>
    <message>
        <source>Finished with warnings: “%1”</source>
        <translation>Terminé avec des avertissements&#xa0;: «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>Finished with warnings from %1: “%2”</source>
        <translation>Terminé avec des avertissements de %1&#xa0;: «&#xa0;%2&#xa0;»</translation>
    </message>
    <message>
        <source>The %1 step failed (exit status %2). Later steps did not run.</source>
        <translation>L’étape %1 a échoué (code de sortie %2). Les étapes suivantes n’ont pas été exécutées.</translation>
    </message>
    <message>
        <source>The update failed (exit status %1).</source>
        <translation>La mise à jour a échoué (code de sortie %1).</translation>
    </message>
    <message>
        <source>%1: not run</source>
        <translation>%1&#xa0;: non exécuté</translation>
    </message>
    <message>
        <source>%1: failed</source>
        <translation>%1&#xa0;: échec</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1&#xa0;: terminé</translation>
    </message>
    <message>
        <source>Restart the computer to finish the update.</source>
        <translation>Redémarrez l’ordinateur pour terminer la mise à jour.</translation>
    </message>
    <message>
        <source>The computer could not be restarted: %1</source>
        <translation>L’ordinateur n’a pas pu être redémarré&#xa0;: %1</translation>
    </message>
    <message>
        <source>The update started at %1 finished.</source>
        <translation>La mise à jour commencée à %1 est terminée.</translation>
    </message>
    <message>
        <source>The update started at %1 finished: %2.</source>
        <translation>La mise à jour commencée à %1 est terminée&#xa0;: %2.</translation>
    </message>
    <message>
        <source>The update started at %1 finished with warnings.</source>
        <translation>La mise à jour commencée à %1 s’est terminée avec des avertissements.</translation>
    </message>
    <message>
        <source>The update started at %1 finished with warnings from %2.</source>
        <translation>La mise à jour commencée à %1 s’est terminée avec des avertissements de %2.</translation>
    </message>
    <message>
        <source>The update started at %1 did not finish.</source>
        <translation>La mise à jour commencée à %1 ne s’est pas terminée.</translation>
    </message>
    <message>
        <source>The update started at %1 failed at %2.</source>
        <translation>La mise à jour commencée à %1 a échoué à l’étape %2.</translation>
    </message>
    <message>
        <source>%1: %2 (not updated)</source>
        <translation>%1&#xa0;: %2 (non mis à jour)</translation>
    </message>
    <message>
        <source>The computer cannot be restarted from here: logind, which restarts it, is not running. Restart it from the system menu.</source>
        <translation>L’ordinateur ne peut pas être redémarré d’ici&#xa0;: logind, qui le redémarre, ne fonctionne pas. Redémarrez-le depuis le menu du système.</translation>
    </message>
    <message>
        <source>The computer was not restarted: nothing could ask you for permission to restart it.</source>
        <translation>L’ordinateur n’a pas été redémarré&#xa0;: rien n’a pu vous demander l’autorisation de le redémarrer.</translation>
    </message>
    <message>
        <source>The computer was not restarted: permission to restart it was not given.</source>
        <translation>L’ordinateur n’a pas été redémarré&#xa0;: l’autorisation de le redémarrer n’a pas été donnée.</translation>
    </message>
    <message>
        <source>The computer is restarting.</source>
        <translation>L’ordinateur redémarre.</translation>
    </message>
    <message>
        <source>The update did not finish, or how it ended is not known.</source>
        <translation>La mise à jour ne s’est pas terminée, ou on ne sait pas comment elle s’est terminée.</translation>
    </message>
    <message>
        <source>The %1 step failed: the filesystem of %2 is full (%3 free). Make room there — “sudo apt clean” removes the packages apt has downloaded — then update again.</source>
        <translation>L’étape %1 a échoué : le système de fichiers de %2 est plein (%3 libres). Libérez de la place — « sudo apt clean » supprime les paquets téléchargés par apt — puis relancez la mise à jour.</translation>
    </message>
    <message>
        <source>The %1 step failed: a package server could not be reached. Check the network connection, then update again.</source>
        <translation>L’étape %1 a échoué : un serveur de paquets est injoignable. Vérifiez la connexion réseau, puis relancez la mise à jour.</translation>
    </message>
    <message>
        <source>The %1 step failed: the package server %2 could not be reached. Check the network connection, then update again.</source>
        <translation>L’étape %1 a échoué : le serveur de paquets %2 est injoignable. Vérifiez la connexion réseau, puis relancez la mise à jour.</translation>
    </message>
    <message>
        <source>The %1 step failed: another program is using the package database. Wait until it has finished, then update again.</source>
        <translation>L’étape %1 a échoué : un autre programme utilise la base de données des paquets. Attendez qu’il ait fini, puis relancez la mise à jour.</translation>
    </message>
    <message>
        <source>The %1 step failed: %2 is using the package database. Wait until it has finished, then update again.</source>
        <translation>L’étape %1 a échoué : %2 utilise la base de données des paquets. Attendez qu’il ait fini, puis relancez la mise à jour.</translation>
    </message>
    <message>
        <source>The %1 step failed: the package %2 could not be set up; its installation script failed. Its message is in Details. Other packages may be left unfinished.</source>
        <translation>L’étape %1 a échoué : le paquet %2 n’a pas pu être configuré ; son script d’installation a échoué. Son message figure dans Détails. D’autres paquets peuvent être restés inachevés.</translation>
    </message>
    <message>
        <source>The %1 step failed: the package %2 asked what to do with your changed configuration file %3, and no answer could be given here.</source>
        <translation>L’étape %1 a échoué : le paquet %2 a demandé quoi faire de votre fichier de configuration modifié %3, et aucune réponse n’a pu être donnée ici.</translation>
    </message>
    <message>
        <source>The %1 step failed: “%2” Later steps did not run.</source>
        <translation>L’étape %1 a échoué : « %2 » Les étapes suivantes n’ont pas été exécutées.</translation>
    </message>
    <message>
        <source>%1: downloading %2 of %3</source>
        <translation>%1 : téléchargement %2 sur %3</translation>
    </message>
    <message>
        <source>%1: unpacking %2 of %3</source>
        <translation>%1 : dépaquetage %2 sur %3</translation>
    </message>
    <message>
        <source>%1: setting up %2 of %3</source>
        <translation>%1 : configuration %2 sur %3</translation>
    </message>
    <message>
        <source>%1: installing %2 of %3</source>
        <translation>%1 : installation %2 sur %3</translation>
    </message>
    <message>
        <source>Your changes to %1 were kept; the new version is beside it: %2.</source>
        <translation>Vos modifications de %1 ont été conservées ; la nouvelle version est à côté : %2.</translation>
    </message>
    <message>
        <source>The repair runs in the terminal. When the terminal is closed, this window checks again.</source>
        <translation>La réparation se déroule dans le terminal. Quand le terminal sera fermé, cette fenêtre vérifiera à nouveau.</translation>
    </message>
    <message>
        <source>No terminal program was found (xdg-terminal-exec or x-terminal-emulator). Open a terminal, run the command below and answer its questions there; a failing package&apos;s own message is shown there too.</source>
        <translation>Aucun programme de terminal n’a été trouvé (xdg-terminal-exec ou x-terminal-emulator). Ouvrez un terminal, lancez la commande ci-dessous et répondez-y à ses questions ; le message d’un paquet en échec s’y affiche aussi.</translation>
    </message>
    <message>
        <source>Repair… opens a terminal that runs %1. Type your password there and answer any question it asks. If a package&apos;s setup fails again, its own message is shown in the terminal. When the terminal is closed, this window checks again.</source>
        <translation>« Réparer… » ouvre un terminal qui exécute %1. Saisissez-y votre mot de passe et répondez à ses questions. Si la configuration d’un paquet échoue encore, son propre message s’affiche dans le terminal. Quand le terminal sera fermé, cette fenêtre vérifiera à nouveau.</translation>
    </message>
    <message>
        <source>Press Enter to close this window.</source>
        <translation>Appuyez sur Entrée pour fermer cette fenêtre.</translation>
    </message>
    <message numerus="yes">
        <source>%n update(s) are ready</source>
        <translation>
            <numerusform>%n mise à jour est prête</numerusform>
            <numerusform>%n mises à jour sont prêtes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) updated by %1</source>
        <translation>
            <numerusform>%n paquet mis à jour par %1</numerusform>
            <numerusform>%n paquets mis à jour par %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restart the computer to finish the update: %1 take(s) effect only then.</source>
        <translation>
            <numerusform>Redémarrez l’ordinateur pour terminer la mise à jour&#xa0;: %1 ne prend effet qu’à ce moment-là.</numerusform>
            <numerusform>Redémarrez l’ordinateur pour terminer la mise à jour&#xa0;: %1 ne prennent effet qu’à ce moment-là.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %n package(s) updated</source>
        <translation>
            <numerusform>%1&#xa0;: %n paquet mis à jour</numerusform>
            <numerusform>%1&#xa0;: %n paquets mis à jour</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 of %n app(s) and runtime(s) updated</source>
        <translation>
            <numerusform>%1&#xa0;: %2 sur %n application ou environnement d’exécution mis à jour</numerusform>
            <numerusform>%1&#xa0;: %2 sur %n applications et environnements d’exécution mis à jour</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: %2, %3</source>
        <translation>%1&#xa0;: %2, %3</translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) updated</source>
        <translation>
            <numerusform>%n paquet mis à jour</numerusform>
            <numerusform>%n paquets mis à jour</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n package(s) kept back</source>
        <translation>
            <numerusform>%n paquet non mis à jour</numerusform>
            <numerusform>%n paquets non mis à jour</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Your changes to %n configuration file(s) were kept; the new versions are beside them: %1.</source>
        <translation>
            <numerusform>Vos modifications de %n fichier de configuration ont été conservées ; la nouvelle version est à côté : %1.</numerusform>
            <numerusform>Vos modifications de %n fichiers de configuration ont été conservées ; les nouvelles versions sont à côté : %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Mettre à jour</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateRun</name>
    <message>
        <source>No private folder could be made for the update: %1</source>
        <translation>Impossible de créer un dossier privé pour la mise à jour&#xa0;: %1</translation>
    </message>
    <message>
        <source>The update could not start: %1</source>
        <translation>Impossible de lancer la mise à jour&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateTree</name>
    <message>
        <source>Filter packages</source>
        <translation>Filtrer les paquets</translation>
    </message>
</context>
<context>
    <name>sorvane::gui::UpdateWindow</name>
    <message>
        <source>Check again</source>
        <translation>Vérifier à nouveau</translation>
    </message>
    <message>
        <source>No supported package managers found</source>
        <translation>Aucun gestionnaire de paquets pris en charge n’a été trouvé</translation>
    </message>
    <message>
        <source>Sorvane Update</source>
        <translation>Sorvane Update</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Looking for package managers…</source>
        <translation>Recherche des gestionnaires de paquets…</translation>
    </message>
    <message>
        <source>There is nothing for Sorvane to update on this computer.</source>
        <translation>Il n’y a rien que Sorvane puisse mettre à jour sur cet ordinateur.</translation>
    </message>
    <message>
        <source>Nothing was updated</source>
        <translation>Rien n’a été mis à jour</translation>
    </message>
    <message>
        <source>Close while updating?</source>
        <translation>Fermer pendant la mise à jour&#xa0;?</translation>
    </message>
    <message>
        <source>The update will go on to its end without this window. Close it?</source>
        <translation>La mise à jour se poursuivra jusqu’au bout sans cette fenêtre. La fermer&#xa0;?</translation>
    </message>
    <message>
        <source>Looking for package managers</source>
        <translation>Recherche des gestionnaires de paquets</translation>
    </message>
    <message>
        <source>Restart now</source>
        <translation>Redémarrer maintenant</translation>
    </message>
    <message>
        <source>Later</source>
        <translation>Plus tard</translation>
    </message>
    <message>
        <source>Copy log</source>
        <translation>Copier le journal</translation>
    </message>
    <message>
        <source>Copies the update&apos;s whole log</source>
        <translation>Copie tout le journal de la mise à jour</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Open log</source>
        <translation>Ouvrir le journal</translation>
    </message>
    <message>
        <source>Opens the folder the update&apos;s log is kept in</source>
        <translation>Ouvre le dossier où est conservé le journal de la mise à jour</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Historique</translation>
    </message>
    <message>
        <source>Shows what every package manager did before</source>
        <translation>Montre ce que chaque gestionnaire de paquets a fait auparavant</translation>
    </message>
</context>
</TS>
